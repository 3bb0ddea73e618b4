#include "skin/ThdTimer.h"

#include <algorithm>

namespace skin {

namespace {

// A span is cut so that one period stays within ten minutes.
constexpr std::uint32_t kLongestPeriod = 600000;

}  // namespace

TThreadedTimer::TThreadedTimer(platform::TimerHost& host)
    : m_timer(host.CreateTimer([this] {
          if (m_enabled && OnTimer) {
              OnTimer();
          }
      })) {}

TThreadedTimer::~TThreadedTimer() = default;

void TThreadedTimer::Restart() {
    if (m_enabled && m_interval != 0) {
        m_timer->Start(std::uint32_t{m_interval} * m_span);
    } else {
        m_timer->Stop();
    }
}

void TThreadedTimer::SetEnabled(bool value) {
    if (value == m_enabled) {
        return;
    }
    m_enabled = value;
    m_span = 1;
    Restart();
}

void TThreadedTimer::SetInterval(std::uint16_t value) {
    if (value == m_interval) {
        return;
    }
    SetEnabled(false);
    m_interval = value;
    m_span = 1;
}

void TThreadedTimer::SetTickSpan(std::uint32_t intervals) {
    intervals = std::max<std::uint32_t>(intervals, 1);
    if (m_interval != 0) {
        intervals = std::min<std::uint32_t>(
            intervals, std::max<std::uint32_t>(kLongestPeriod / m_interval, 1));
    }
    if (intervals == m_span) {
        return;
    }
    m_span = intervals;
    Restart();
}

}  // namespace skin
