#include "monitor/MainMenuActions.h"

#include "monitor/NewsFeed.h"
#include "skin/LoadSkin.h"

namespace monitor {

MainMenuActions::MainMenuActions(Commun& shared, const MonitorFaces& faces, platform::Shell& shell,
                                 MainMenuLinks links, const std::string& programFolder)
    : m_shared(shared),
      m_faces(faces),
      m_shell(shell),
      m_links(links),
      m_programFolder(programFolder) {}

const MainMenuModel& MainMenuActions::PopMnuPopup() {
    const std::vector<std::string>& servers = m_links.news.NewsServers;
    m_menu.NewsItems.clear();
    for (std::size_t i = 0; i < servers.size(); ++i) {
        m_menu.NewsItems.push_back({ParseNewsServer(servers[i]).Name, static_cast<int>(i)});
    }
    m_menu.SkinItems = ListSkinFolders(m_shared.Config.SkinDir);
    m_menu.CurrentSkin =
        SkinInUse(m_menu.SkinItems, m_shared.Config.SkinDir, m_shared.Config.SkinFolder);
    m_menu.OnTopChecked = m_shared.Config.ontop;
    return m_menu;
}

void MainMenuActions::SwitchSkinClick(const std::string& caption) {
    // A redraw during a check would show the half-checked account.
    if (m_links.guard.DeferWhileBusy("skin", [this, caption] { SwitchSkinClick(caption); })) {
        return;
    }
    const std::string kept = m_shared.Config.SkinFolder;
    m_shared.Config.SkinFolder = SkinFolderOf(m_shared.Config.SkinDir, caption);
    if (!m_links.skins.Try(m_programFolder)) {
        m_shared.Config.SkinFolder = kept;
        m_links.skins.Load(true);
        m_faces.dialogs.ShowMessage(skin::kInvalidSkin);
    }
    m_faces.window.Repaint();
    if (!m_faces.window.IsWindowVisible()) {
        m_faces.window.ShowWindow();
    }
}

void MainMenuActions::OnTopClick() {
    m_shared.Config.ontop = !m_shared.Config.ontop;
    m_menu.OnTopChecked = m_shared.Config.ontop;
    m_faces.window.ApplyOnTop(m_shared.Config.ontop);
}

void MainMenuActions::AideClick() {
    m_shell.OpenDocument(m_programFolder + "vrhelp.html");
}

void MainMenuActions::OtherSkinClick() {
    m_shell.OpenDocument(SkinGalleryAddress());
}

}  // namespace monitor
