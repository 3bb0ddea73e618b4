#pragma once
// The main window's timers switched together: the check timer and the ticker's own.
#include <functional>

#include "monitor/Commun.h"
#include "monitor/Services.h"
#include "monitor/WindowView.h"
#include "skin/Ticker.h"

namespace monitor {

class MonitorTimers {
public:
    // All must outlive the timers.
    MonitorTimers(Commun& shared, WindowView& view, skin::TStatusTicker& ticker,
                  TimerSwitch& checkTimer)
        : m_commun(shared), m_view(view), m_ticker(ticker), m_checkTimer(checkTimer) {}
    MonitorTimers(const MonitorTimers&) = delete;
    MonitorTimers& operator=(const MonitorTimers&) = delete;

    void StopTimers();
    // The check timer runs when checks are automatic and the window is on line.
    void StartTimers();

    // The window has not been painted yet: a window started hidden hides at its first paint.
    bool FirstPaintPending = true;

    // Stopped and not started since: a dialog, a fetch or a check holds the window.
    bool Held() const { return m_held; }
    // Runs at the end of every StartTimers.
    std::function<void()> OnStarted;

private:
    Commun& m_commun;
    WindowView& m_view;
    skin::TStatusTicker& m_ticker;
    TimerSwitch& m_checkTimer;
    bool m_held = false;
};

}  // namespace monitor
