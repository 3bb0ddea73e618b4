#pragma once
// "Configure" of the main window: the dialog filled, shown modally, and its settings taken,
// written and applied when it ends with OK.
#include <string>
#include <vector>

#include "config/TConfig.h"

namespace config {

// The main window as the configuration sequence uses it.
class ConfigOwner {
public:
    virtual ~ConfigOwner() = default;
    virtual void StopTimers() = 0;
    virtual void StartTimers() = 0;
    virtual std::vector<std::string> DialUpEntries() = 0;
    // The news server lines, in the order of the server list.
    virtual std::vector<std::string> NewsServers() = 0;
    // Shows the dialog as it stands and returns once it has ended (or was closed otherwise).
    virtual void ShowModal(TConfig& dialog) = 0;
    virtual void ApplyTickerSpeed(int speed) = 0;
    virtual void ApplyCheckInterval(int minutes) = 0;
    // Writes "Vorla.ini" with the window's position and On Top state.
    virtual void SaveConfig() = 0;
    virtual void LitVrNews() = 0;
    virtual void AfficheTray(bool modify) = 0;
    virtual void SetAutorun() = 0;
    // Redraws the mail flag, the count and the tray from the window's state: the dialog may
    // have changed the accounts or the tray.
    virtual void ShowMailState() = 0;
    // The accounts may have changed: what watches them starts again on the new table.
    virtual void AccountsChanged() {}
};

// The whole sequence: timers stopped, the dialog filled and shown; after OK the settings taken,
// the intervals applied, "Vorla.ini" written, the news reloaded when the server changed, the
// tray icon updated and the autorun entry written when its box changed. The flag, the count
// and the tray are then redrawn, after Close as well. The timers restart in every case, also
// when a step fails.
void Config1Click(ConfigOwner& owner, TConfig& dialog);

}  // namespace config
