#pragma once
// TThreadedTimer: the ticker's timer. It keeps the component's interface (enabled, interval,
// priority, OnTimer) and ticks through a timer of the window thread, so a tick costs one timer
// event and no hand-over between threads.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/WindowTimer.h"

namespace skin {

enum class TThreadPriority { Idle, Lowest, Lower, Normal, Higher, Highest, TimeCritical };

// Create, change and destroy it on the window thread; the host must outlive it.
class TThreadedTimer {
public:
    explicit TThreadedTimer(platform::TimerHost& host);
    ~TThreadedTimer();
    TThreadedTimer(const TThreadedTimer&) = delete;
    TThreadedTimer& operator=(const TThreadedTimer&) = delete;

    bool Enabled() const { return m_enabled; }
    // Same value: nothing. false stops the timer; true, with an interval other than 0,
    // starts the period again.
    void SetEnabled(bool value);

    std::uint16_t Interval() const { return m_interval; }
    // A different interval first disables the timer; the caller enables it again.
    void SetInterval(std::uint16_t value);

    // The next tick comes after this many intervals (at least 1): an owner that knows the
    // coming ticks change nothing visible lets them pass as one timer event. Enabling the
    // timer or changing its interval sets it back to 1.
    void SetTickSpan(std::uint32_t intervals);
    std::uint32_t TickSpan() const { return m_span; }

    // Runs on the window thread for each tick, when assigned.
    std::function<void()> OnTimer;

    // Kept for the component's interface; it changes nothing.
    TThreadPriority ThreadPriority = TThreadPriority::Normal;

private:
    void Restart();

    bool m_enabled = false;
    std::uint16_t m_interval = 1000;
    std::uint32_t m_span = 1;
    std::unique_ptr<platform::WindowTimer> m_timer;
};

}  // namespace skin
