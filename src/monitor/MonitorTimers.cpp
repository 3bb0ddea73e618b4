#include "monitor/MonitorTimers.h"

namespace monitor {

void MonitorTimers::StopTimers() {
    m_ticker.StopTimers();
    m_checkTimer.SetEnabled(false);
    m_held = true;
}

void MonitorTimers::StartTimers() {
    m_ticker.StartTimers(m_view.IsWindowVisible(), FirstPaintPending);
    m_checkTimer.SetEnabled(m_commun.Config.autocheck && m_commun.IsConnected);
    m_held = false;
    if (OnStarted) {
        OnStarted();
    }
}

}  // namespace monitor
