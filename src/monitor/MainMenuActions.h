#pragma once
// The handlers of the main popup menu `PopMnu`, and the menu's data they rebuild before it pops
// up.
#include <string>

#include "monitor/BusyGuard.h"
#include "monitor/Commun.h"
#include "monitor/MonitorView.h"
#include "monitor/NewsReader.h"
#include "monitor/PopupMenu.h"
#include "monitor/SkinSwitch.h"
#include "platform/Desktop.h"

namespace monitor {

// What the menu's items reach besides the window.
struct MainMenuLinks {
    SkinSwitch& skins;
    NewsReader& news;
    BusyGuard& guard;
};

class MainMenuActions {
public:
    // programFolder ends in "/" and holds the help page; it must outlive the menu.
    MainMenuActions(Commun& shared, const MonitorFaces& faces, platform::Shell& shell,
                    MainMenuLinks links, const std::string& programFolder);

    // Rebuilds the menu's data before it pops up.
    const MainMenuModel& PopMnuPopup();
    const MainMenuModel& PopMnu() const { return m_menu; }
    // The data the check cycle clears with the connection.
    MainMenuModel& Model() { return m_menu; }
    void SwitchSkinClick(const std::string& caption);
    void OnTopClick();
    void AideClick();
    void OtherSkinClick();

private:
    Commun& m_shared;
    MonitorFaces m_faces;
    platform::Shell& m_shell;
    MainMenuLinks m_links;
    const std::string& m_programFolder;
    MainMenuModel m_menu;
};

}  // namespace monitor
