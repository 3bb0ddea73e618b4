#include "monitor/SkinSwitch.h"

#include "monitor/CheckCycle.h"
#include "monitor/NoReport.h"
#include "monitor/StatusDisplay.h"
#include "settings/LitConfig.h"
#include "skin/LoadSkin.h"

namespace monitor {

SkinSwitch::SkinSwitch(Commun& shared, const MonitorFaces& faces, const std::string& settingsFolder,
                       skin::MainWindowSkin& skin, SkinRedraw redraw)
    : m_shared(shared),
      m_faces(faces),
      m_settingsFolder(settingsFolder),
      m_skin(skin),
      m_redraw(redraw) {}

bool SkinSwitch::Load(bool redraw) {
    const skin::SkinSource source{m_shared.Config.SkinFolder,
                                  m_settingsFolder + settings::kVorlaIni};
    if (!skin::LoadSkin(m_skin, source, {m_faces.dialogs, m_faces.exit}, false, {})) {
        return false;
    }
    Show(redraw);
    return true;
}

bool SkinSwitch::Try(const std::string& iniFolder) {
    const skin::SkinSource source{m_shared.Config.SkinFolder, iniFolder + settings::kVorlaIni};
    // The caller shows its own message for a skin that fails.
    NoReport trial;
    try {
        if (!skin::LoadSkin(m_skin, source, {trial, trial}, false, {})) {
            return false;
        }
    } catch (const settings::FatalSettingsError&) {
        return false;
    }
    Show(true);
    return true;
}

void SkinSwitch::Show(bool redraw) {
    m_faces.status.SkinLoaded();
    if (redraw) {
        m_redraw.cycle.CheckNextAccount(false);
        m_redraw.status.ShowConnectionState();
    }
}

}  // namespace monitor
