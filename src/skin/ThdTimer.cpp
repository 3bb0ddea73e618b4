#include "skin/ThdTimer.h"

#include <algorithm>

namespace skin {

namespace {

// A span is cut so that one period stays within ten minutes.
constexpr std::uint32_t kLongestPeriod = 600000;

}  // namespace

TThreadedTimer::TThreadedTimer(platform::TimerHost& host)
    : timer_(host.CreateTimer([this] {
          if (enabled_ && OnTimer) {
              OnTimer();
          }
      })) {}

TThreadedTimer::~TThreadedTimer() = default;

void TThreadedTimer::Restart() {
    if (enabled_ && interval_ != 0) {
        timer_->Start(std::uint32_t{interval_} * span_);
    } else {
        timer_->Stop();
    }
}

void TThreadedTimer::SetEnabled(bool value) {
    if (value == enabled_) {
        return;
    }
    enabled_ = value;
    span_ = 1;
    Restart();
}

void TThreadedTimer::SetInterval(std::uint16_t value) {
    if (value == interval_) {
        return;
    }
    SetEnabled(false);
    interval_ = value;
    span_ = 1;
}

void TThreadedTimer::SetTickSpan(std::uint32_t intervals) {
    intervals = std::max<std::uint32_t>(intervals, 1);
    if (interval_ != 0) {
        intervals = std::min<std::uint32_t>(intervals,
                                            std::max<std::uint32_t>(kLongestPeriod / interval_, 1));
    }
    if (intervals == span_) {
        return;
    }
    span_ = intervals;
    Restart();
}

}  // namespace skin
