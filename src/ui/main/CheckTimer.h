#pragma once
// The check timer `Timer` as the monitor logic switches it: a Qt timer on the window thread.
#include <QTimer>

#include "monitor/Services.h"

namespace uimain {

class CheckTimer final : public monitor::TimerSwitch {
public:
    CheckTimer();
    QTimer& Timer() { return m_timer; }
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return m_timer.isActive(); }
    // A running timer restarts its period with the new interval.
    void SetInterval(int milliseconds) override { m_timer.setInterval(milliseconds); }

private:
    QTimer m_timer;
};

}  // namespace uimain
