#pragma once
// A window thread for tests and tools without a toolkit: a worker's Synchronize queues its call
// and waits; ProcessMessages, on the thread that created the object, runs the queued calls.
// Nothing runs behind the owner's back, so a test decides exactly when a completion arrives.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/EventPump.h"

namespace platform {

class QueuedSynchronizer final : public Synchronizer, public EventPump {
public:
    QueuedSynchronizer();

    // From a worker: queues the call and returns once ProcessMessages has run it. From the
    // owner thread: runs the call at once.
    void Synchronize(const std::function<void()>& call) override;

    // Runs OnProcessMessages (when set), then every call queued so far. A call that throws
    // still releases its worker; the exception reaches the caller of ProcessMessages and the
    // calls behind it stay queued.
    void ProcessMessages() override;

    // Waits until a call is queued or the time-out passes; true when one is queued.
    bool WaitForCall(std::chrono::milliseconds timeout);
    std::size_t PendingCalls() const;

    // Runs at every ProcessMessages, as a click arriving during a wait would.
    std::function<void()> OnProcessMessages;

private:
    struct Call {
        std::function<void()> run;
        bool done = false;
    };

    std::thread::id m_owner;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::shared_ptr<Call>> m_queue;
};

}  // namespace platform
