#pragma once
// One account's push connection as a schedule, apart from threads and sockets: open the folder
// and wait in IDLE, renewing the wait before servers drop it, and re-open after a drop with
// pauses that grow up to five minutes. A server without IDLE ends the loop; the timer's checks
// then serve that account alone.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace app {

// Ends a worker's waits: set from the window thread, read on the worker.
class StopSignal {
public:
    void Stop();
    bool Stopped() const { return m_stopped.load(); }
    // Sleeps up to ms; true when it ended because of Stop.
    bool WaitFor(std::uint32_t ms);

private:
    std::atomic<bool> m_stopped{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

// The one connection of a push watch.
class IdleSession {
public:
    enum class Opened { Idling, NoIdle, Failed };

    virtual ~IdleSession() = default;
    // Connects, logs in and opens the folder: Idling when the server offers IDLE.
    virtual Opened Open() = 0;
    // Waits in IDLE up to ms; onGrown runs each time the folder's message count grows. True
    // when the wait ended in order (time up), false when the connection failed or was ended.
    virtual bool Idle(std::uint32_t ms, const std::function<void()>& onGrown) = 0;
    // Ends the connection, if any.
    virtual void Close() = 0;
};

class IdleLoop {
public:
    // Servers may end an IDLE after 30 minutes of silence.
    static constexpr std::uint32_t kRenewMs = 25 * 60 * 1000;
    static constexpr std::uint32_t kFirstPauseMs = 5 * 1000;
    static constexpr std::uint32_t kLongestPauseMs = 5 * 60 * 1000;

    // pause sleeps the given milliseconds and returns false when the loop must end;
    // onNewMail is called on the loop's thread.
    IdleLoop(IdleSession& session, const StopSignal& stop,
             std::function<bool(std::uint32_t ms)> pause, std::function<void()> onNewMail);

    // Until stopped, or until the server turns out to offer no IDLE.
    void Run();
    // The pause after so many failed or dropped connections in a row (from 1).
    static std::uint32_t PauseAfter(int failures);

private:
    IdleSession& m_session;
    const StopSignal& m_stop;
    std::function<bool(std::uint32_t)> m_pause;
    std::function<void()> m_onNewMail;
};

}  // namespace app
