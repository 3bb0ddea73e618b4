#include "app/composition/VorlaLink.h"

#include "settings/LitConfig.h"
#include "settings/Writers.h"
#include "skin/LoadSkin.h"

namespace app {

namespace {

// Collects what a skin load would report as fatal: here the dialog reports it instead.
class HeldFault final : public platform::Dialogs, public platform::ExitRequest {
public:
    void ShowMessage(const std::string&) override {}
    bool Ask(const std::string&) override { return false; }
    platform::Answer AskYesNoCancel(const std::string&) override {
        return platform::Answer::Cancel;
    }
    void RequestExit() override {}
};

}  // namespace

bool VorlaSkinHost::LoadSkin() {
    const skin::SkinSource source{m_vorla.Shared().Config.SkinFolder,
                                  m_vorla.SettingsFolder() + settings::kVorlaIni};
    HeldFault held;
    try {
        if (!skin::LoadSkin(m_vorla.Skin(), source, {held, held}, false, {})) {
            return false;
        }
    } catch (const settings::FatalSettingsError&) {
        // The dialog shows the skin error itself and brings the previous skin back.
        return false;
    }
    m_view.SkinLoaded();
    m_vorla.CheckNextAccount(false);
    m_vorla.Status().ShowConnectionState();
    return true;
}

void VorlaConfigOwner::ApplyTickerSpeed(int speed) {
    m_parts.vorla.Ticker().SetSpeed(speed);
    m_parts.vorla.Ticker().MinScroll = m_parts.vorla.Shared().Config.min_scroll;
}

void VorlaConfigOwner::ApplyCheckInterval(int minutes) {
    m_parts.timer.SetInterval(monitor::CheckInterval(minutes));
}

void VorlaConfigOwner::SaveConfig() {
    settings::Config& config = m_parts.vorla.Shared().Config;
    const monitor::WindowPosition position = m_parts.view.Position();
    config.posx = position.Left;
    config.posy = position.Top;
    settings::SaveConfig(m_parts.vorla.SettingsFolder(), config);
}

void VorlaConfigOwner::ShowMailState() {
    monitor::StatusDisplay& status = m_parts.vorla.Status();
    status.ShowMailState();
    // The tray may have been asked for just now.
    status.SayTrayMissingOnce();
}

}  // namespace app
