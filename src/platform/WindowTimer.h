#pragma once
// Repeating timers that fire on the window thread, as the event loop's own timers do: a tick
// costs one timer event and no thread.
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

class WindowTimer {
public:
    virtual ~WindowTimer() = default;
    // Fires every `milliseconds` from now on; a running timer starts its period again.
    virtual void Start(std::uint32_t milliseconds) = 0;
    virtual void Stop() = 0;
};

class TimerHost {
public:
    virtual ~TimerHost() = default;
    // The timer calls `tick` on the window thread. It may be destroyed from inside `tick`.
    virtual std::unique_ptr<WindowTimer> CreateTimer(std::function<void()> tick) = 0;
};

// Timers that never fire: for the ticker of a program without windows.
class IdleTimerHost final : public TimerHost {
public:
    std::unique_ptr<WindowTimer> CreateTimer(std::function<void()> tick) override;
};

}  // namespace platform
