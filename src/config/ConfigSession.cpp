#include "config/ConfigSession.h"

namespace config {

namespace {

void TakeSettings(ConfigOwner& owner, TConfig& dialog, int previousServer) {
    const bool autorunChanged = dialog.ReadConfigDialog();
    const settings::Config& config = dialog.Settings();
    owner.ApplyTickerSpeed(config.speed);
    owner.ApplyCheckInterval(config.minutes);
    owner.SaveConfig();
    owner.AccountsChanged();
    if (config.srv_news != previousServer) {
        owner.LitVrNews();
    }
    owner.AfficheTray(true);
    if (autorunChanged) {
        owner.SetAutorun();
    }
}

}  // namespace

void Config1Click(ConfigOwner& owner, TConfig& dialog) {
    owner.StopTimers();
    try {
        const int previousServer = dialog.Settings().srv_news;
        dialog.FillConfigDialog(owner.DialUpEntries(), owner.NewsServers());
        dialog.FormShow();
        owner.ShowModal(dialog);
        // A dialog closed by other means than its buttons ends as Close does.
        if (dialog.Result() == DialogResult::Pending) {
            dialog.CancelClick();
        }
        if (dialog.Result() == DialogResult::Ok) {
            TakeSettings(owner, dialog, previousServer);
        }
        owner.ShowMailState();
    } catch (...) {
        owner.StartTimers();
        throw;
    }
    owner.StartTimers();
}

}  // namespace config
