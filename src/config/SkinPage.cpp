#include "config/SkinPage.h"

#include "config/ConfigTexts.h"
#include "platform/ProgramFolder.h"
#include "skin/SkinError.h"
#include "skin/SkinInfo.h"
#include "skin/SkinModel.h"

namespace config {

namespace {

std::string SkinIniOf(const std::string& folder) {
    return platform::ResolveCaseInsensitive(folder + "skin.ini");
}

}  // namespace

void SkinPage::Remember() {
    m_savedSkinFolder = m_context.Config.SkinFolder;
    m_skinChanged = false;
}

void SkinPage::Show() {
    ReadSkinInfo(SkinIniOf(m_context.Config.SkinFolder));
}

bool SkinPage::ReadSkinInfo(const std::string& fileName) {
    skin::SkinInfo info;
    try {
        info = skin::ReadSkinInfo(fileName);
    } catch (const skin::SkinError& e) {
        m_context.Dialogs.ShowMessage(e.what());
        return false;
    }
    DialogControls& c = m_context.Controls;
    c["InfSk"].Text = info.Folder;
    c["SkName"].Text = info.Name;
    c["SkAuthor"].Text = info.Author;
    c["SkEmail"].Text = info.Mail;
    c["SkEmail"].Link = info.Mail;
    c["SkWeb"].Text = info.Web;
    c["SkWeb"].Link = info.Web;
    c["SkInfo"].Text = info.Info;
    return true;
}

void SkinPage::BrowseClick() {
    m_open.SetFilter(kSkinFilter);
    const std::optional<std::string> file =
        m_open.Execute(settings::AsFolder(m_context.Config.SkinDir), kProposedSkinFile);
    if (!file) {
        return;
    }
    if (!m_host.IsMainWindowVisible()) {
        m_host.ShowMainWindow();
    }
    if (!ReadSkinInfo(*file)) {
        return;
    }
    settings::Config& config = m_context.Config;
    const std::string kept = config.SkinFolder;
    config.SkinFolder = FolderOf(*file);
    if (!m_host.LoadSkin()) {
        m_context.Dialogs.ShowMessage(skin::kInvalidSkin);
        config.SkinFolder = kept;
        ReadSkinInfo(SkinIniOf(kept));
        m_host.LoadSkin();
    }
    m_host.RepaintMainWindow();
    if (m_context.Controls["ChkPreview"].Checked) {
        m_preview.Hide();
        m_preview.ShowPreview();
    } else {
        HidePreview();
    }
    m_skinChanged = true;
}

void SkinPage::BrSkinClick() {
    const std::optional<std::string> folder = m_files.PickFolder(kSkinFolderCaption);
    if (!folder) {
        return;
    }
    m_context.Controls["SkinRep"].Text = *folder;
    m_context.Config.SkinDir = *folder;
}

void SkinPage::HidePreview() {
    if (m_preview.IsVisible()) {
        m_preview.Hide();
    }
}

void SkinPage::RestoreSkin() {
    if (!m_skinChanged) {
        return;
    }
    HidePreview();
    m_context.Config.SkinFolder = m_savedSkinFolder;
    if (!m_host.LoadSkin()) {
        m_context.Dialogs.ShowMessage(skin::kInvalidSkin);
    }
    m_host.RepaintMainWindow();
}

}  // namespace config
