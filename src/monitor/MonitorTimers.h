#pragma once
// The main window's timers switched together: the check timer and the ticker's own.
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

private:
    Commun& m_commun;
    WindowView& m_view;
    skin::TStatusTicker& m_ticker;
    TimerSwitch& m_checkTimer;
};

}  // namespace monitor
