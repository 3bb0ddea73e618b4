#include "monitor/PopupMenu.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "monitor/NewsFeed.h"
#include "monitor/TVorla.h"
#include "platform/ProgramFolder.h"

namespace monitor {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

// The folder as one spelling: absolute, links resolved, no "." or "..", no trailing "/".
std::filesystem::path FolderKey(const std::string& folder) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::weakly_canonical(folder, error);
    if (error) {
        path = std::filesystem::path(folder).lexically_normal();
    }
    return path.has_filename() ? path : path.parent_path();
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

}  // namespace

void InsertSkinSorted(std::vector<std::string>& captions, const std::string& name) {
    const std::string key = Lower(name);
    auto position = captions.begin();
    while (position != captions.end() && Lower(*position) < key) {
        ++position;
    }
    captions.insert(position, name);
}

std::vector<std::string> ListSkinFolders(const std::string& skinDir) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entry(skinDir, error);
    // A missing skin directory simply offers no skins.
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code typeError;
        if (!entry->is_directory(typeError)) {
            continue;
        }
        const std::string name = entry->path().filename().string();
        const std::string iniPath =
            platform::ResolveCaseInsensitive(SkinFolderOf(skinDir, name) + "skin.ini");
        if (fs::is_regular_file(iniPath, typeError)) {
            InsertSkinSorted(names, name);
        }
    }
    return names;
}

std::string SkinFolderOf(const std::string& skinDir, const std::string& name) {
    return WithSlash(skinDir) + name + "/";
}

std::string SkinInUse(const std::vector<std::string>& names, const std::string& skinDir,
                      const std::string& skinFolder) {
    const std::filesystem::path inUse = FolderKey(skinFolder);
    for (const std::string& name : names) {
        if (FolderKey(SkinFolderOf(skinDir, name)) == inUse) {
            return name;
        }
    }
    return {};
}

const MainMenuModel& TVorla::PopMnuPopup() {
    m_menu.NewsItems.clear();
    for (std::size_t i = 0; i < m_news.NewsServers.size(); ++i) {
        m_menu.NewsItems.push_back(
            {ParseNewsServer(m_news.NewsServers[i]).Name, static_cast<int>(i)});
    }
    m_menu.SkinItems = ListSkinFolders(m_commun.Config.SkinDir);
    m_menu.CurrentSkin =
        SkinInUse(m_menu.SkinItems, m_commun.Config.SkinDir, m_commun.Config.SkinFolder);
    m_menu.OnTopChecked = m_commun.Config.ontop;
    return m_menu;
}

void TVorla::SwitchSkinClick(const std::string& caption) {
    // A redraw during a check would show the half-checked account.
    if (m_guard.DeferWhileBusy("skin", [this, caption] { SwitchSkinClick(caption); })) {
        return;
    }
    const std::string kept = m_commun.Config.SkinFolder;
    m_commun.Config.SkinFolder = SkinFolderOf(m_commun.Config.SkinDir, caption);
    if (!TrySkin()) {
        m_commun.Config.SkinFolder = kept;
        LoadSkin(true);
        m_view.dialogs.ShowMessage(skin::kInvalidSkin);
    }
    m_view.window.Repaint();
    if (!m_view.window.IsWindowVisible()) {
        m_view.window.ShowWindow();
    }
}

void TVorla::OnTopClick() {
    m_commun.Config.ontop = !m_commun.Config.ontop;
    m_menu.OnTopChecked = m_commun.Config.ontop;
    ApplyOnTop(m_commun.Config.ontop);
}

void TVorla::AideClick() {
    m_shell.OpenDocument(m_programFolder + "vrhelp.html");
}

void TVorla::OtherSkinClick() {
    m_shell.OpenDocument(SkinGalleryAddress());
}

}  // namespace monitor
