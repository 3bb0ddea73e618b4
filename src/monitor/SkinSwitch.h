#pragma once
// SkinSwitch: loads the skin of the settings' SkinFolder into the main window's skin and shows
// it: at start-up, where a broken skin ends the program, and for a skin the user only tries
// (the menu, the configuration dialog), where it is a failed load like any other.
#include <string>

#include "monitor/Commun.h"
#include "monitor/MonitorView.h"
#include "skin/SkinModel.h"

namespace monitor {

class CheckCycle;
class StatusDisplay;

// What a shown skin redraws: the account's count and the connection's pictures.
struct SkinRedraw {
    CheckCycle& cycle;
    StatusDisplay& status;
};

class SkinSwitch {
public:
    // settingsFolder ends in "/" and holds "Vorla.ini", which keeps the windows' places.
    SkinSwitch(Commun& shared, const MonitorFaces& faces, const std::string& settingsFolder,
               skin::MainWindowSkin& skin, SkinRedraw redraw);

    // False when the skin cannot be loaded; a fatal fault of the skin is reported and raises
    // settings::FatalSettingsError. With redraw the count and pictures are drawn again.
    bool Load(bool redraw);
    // The same with the places from iniFolder's "Vorla.ini" and nothing reported: a skin.ini
    // that cannot be read is a failed load too, with no message of its own and no end of the
    // program. A loaded skin is redrawn.
    bool Try(const std::string& iniFolder);

private:
    void Show(bool redraw);

    Commun& m_shared;
    MonitorFaces m_faces;
    const std::string& m_settingsFolder;
    skin::MainWindowSkin& m_skin;
    SkinRedraw m_redraw;
};

}  // namespace monitor
