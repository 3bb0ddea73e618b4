#pragma once
// TThreadedTimer: a timer whose own thread waits for the interval and hands every tick to the
// window thread through a synchronised call.
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "platform/EventPump.h"

namespace skin {

enum class TThreadPriority { Idle, Lowest, Lower, Normal, Higher, Highest, TimeCritical };

// Create, change and destroy it on the window thread. The synchroniser must outlive the timer
// (its thread may still be inside a synchronised call when the timer is destroyed).
class TThreadedTimer {
public:
    explicit TThreadedTimer(platform::Synchronizer& synchronizer);
    ~TThreadedTimer();
    TThreadedTimer(const TThreadedTimer&) = delete;
    TThreadedTimer& operator=(const TThreadedTimer&) = delete;

    bool Enabled() const { return enabled_; }
    // Same value: nothing. false stops the thread where it is; true, with an interval other
    // than 0, restarts the period and lets the thread run.
    void SetEnabled(bool value);

    std::uint16_t Interval() const { return interval_; }
    // A different interval first disables the timer; the caller enables it again.
    void SetInterval(std::uint16_t value);

    // Runs on the window thread for each tick, when assigned. A tick still waiting for the
    // window thread when the timer is disabled or destroyed does not run.
    std::function<void()> OnTimer;

    // Kept for the component's interface; the thread runs at the normal priority.
    TThreadPriority ThreadPriority = TThreadPriority::Normal;

private:
    struct Shared;
    static void Run(std::shared_ptr<Shared> shared);

    bool enabled_ = false;
    std::uint16_t interval_ = 1000;
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace skin
