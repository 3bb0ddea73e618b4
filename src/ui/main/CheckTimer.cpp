#include "ui/main/CheckTimer.h"

namespace uimain {

CheckTimer::CheckTimer() {
    m_timer.setObjectName(QStringLiteral("Timer"));
    m_timer.setInterval(60000);
}

void CheckTimer::SetEnabled(bool enabled) {
    if (enabled == m_timer.isActive()) {
        return;
    }
    if (enabled) {
        m_timer.start();
    } else {
        m_timer.stop();
    }
}

}  // namespace uimain
