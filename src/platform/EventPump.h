#pragma once
// Lets blocking work on the window thread keep the windows alive.
#include <functional>

namespace platform {

class EventPump {
public:
    virtual ~EventPump() = default;
    // Processes the window messages that are pending now, then returns.
    virtual void ProcessMessages() = 0;
};

// A pump that does nothing: for tools and tests without windows.
class NullEventPump final : public EventPump {
public:
    void ProcessMessages() override {}
};

// Runs a call on the window thread from a worker and returns once the call has returned.
class Synchronizer {
public:
    virtual ~Synchronizer() = default;
    virtual void Synchronize(const std::function<void()>& call) = 0;
};

}  // namespace platform
