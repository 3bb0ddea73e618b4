#include "app/composition/IdleLoop.h"

#include <algorithm>

namespace app {

void StopSignal::Stop() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
}

bool StopSignal::WaitFor(std::uint32_t ms) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return Stopped(); });
}

IdleLoop::IdleLoop(IdleSession& session, const StopSignal& stop,
                   std::function<bool(std::uint32_t)> pause, std::function<void()> onNewMail)
    : m_session(session),
      m_stop(stop),
      m_pause(std::move(pause)),
      m_onNewMail(std::move(onNewMail)) {}

std::uint32_t IdleLoop::PauseAfter(int failures) {
    std::uint32_t pause = kFirstPauseMs;
    for (int n = 1; n < failures && pause < kLongestPauseMs; ++n) {
        pause *= 2;
    }
    return std::min(pause, kLongestPauseMs);
}

void IdleLoop::Run() {
    int failures = 0;
    while (!m_stop.Stopped()) {
        const IdleSession::Opened opened = m_session.Open();
        if (opened == IdleSession::Opened::NoIdle) {
            m_session.Close();
            return;
        }
        if (opened == IdleSession::Opened::Idling) {
            // Only a wait that ran its course shows the server is well again: one that takes
            // the connection and drops it at once must not be hammered every few seconds.
            while (!m_stop.Stopped() && m_session.Idle(kRenewMs, m_onNewMail)) {
                failures = 0;
            }
        }
        m_session.Close();
        if (m_stop.Stopped() || !m_pause(PauseAfter(++failures))) {
            return;
        }
    }
}

}  // namespace app
