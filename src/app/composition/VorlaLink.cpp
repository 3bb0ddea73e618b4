#include "app/composition/VorlaLink.h"

namespace app {

void VorlaConfigOwner::ApplyTickerSpeed(int speed) {
    m_parts.jobs.Ticker.SetSpeed(speed);
    m_parts.jobs.Ticker.MinScroll = m_parts.jobs.Shared.Config.min_scroll;
}

void VorlaConfigOwner::ApplyCheckInterval(int minutes) {
    m_parts.timer.SetInterval(monitor::CheckInterval(minutes));
}

void VorlaConfigOwner::ShowMailState() {
    monitor::StatusDisplay& status = m_parts.jobs.Status;
    status.ShowMailState();
    // The tray may have been asked for just now.
    status.SayTrayMissingOnce();
}

}  // namespace app
