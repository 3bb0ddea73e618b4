#pragma once
// What happens to the handlers that arrive while a check, a fetch or a download waits on the
// network: they wait their turn, and Disconnect and Exit ask the running operation to stop.
#include <deque>
#include <exception>
#include <functional>
#include <string>
#include <utility>

#include "platform/Dialogs.h"

namespace monitor {

class BusyGuard {
public:
    // dialogs shows an error that leaves a handler run after the operation; it must outlive
    // the guard.
    explicit BusyGuard(platform::Dialogs& dialogs) : m_dialogs(dialogs) {}
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

    // True while a check, a message fetch or a news download runs.
    bool Busy() const { return m_busy; }
    // Runs action now, or, while busy, once the running operation has ended. A later action
    // of the same kind replaces one that is still waiting.
    void WhenIdle(const std::string& kind, std::function<void()> action);
    // While busy: queues action as WhenIdle does and returns true; otherwise false.
    bool DeferWhileBusy(const std::string& kind, std::function<void()> action);
    // Forgets the handlers that wait: the program ends under them.
    void DropWaiting() { m_deferred.clear(); }

    // Disconnect or Exit asked the running operation to stop; cleared by the next operation.
    void RequestAbort() { m_abortRequested = true; }
    bool AbortRequested() const { return m_abortRequested; }

    // Marks the guard busy for the life of a check, fetch or download; a scope that finds it
    // busy already is false and must not start its operation. Leaving the outermost scope runs
    // the handlers that arrived meanwhile, unless it is left by an exception.
    class Scope {
    public:
        explicit Scope(BusyGuard& guard)
            : m_guard(guard), m_acquired(!guard.m_busy), m_exceptions(std::uncaught_exceptions()) {
            if (m_acquired) {
                guard.m_abortRequested = false;
            }
            guard.m_busy = true;
        }
        ~Scope() {
            if (!m_acquired) {
                return;
            }
            m_guard.m_busy = false;
            if (std::uncaught_exceptions() > m_exceptions) {
                m_guard.m_deferred.clear();
            } else {
                m_guard.RunDeferred();
            }
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        explicit operator bool() const { return m_acquired; }

    private:
        BusyGuard& m_guard;
        bool m_acquired;
        int m_exceptions;
    };

private:
    void RunDeferred() noexcept;

    platform::Dialogs& m_dialogs;
    bool m_busy = false;
    bool m_abortRequested = false;
    // Handlers that arrived during a check, fetch or download, by kind, in order of arrival.
    std::deque<std::pair<std::string, std::function<void()>>> m_deferred;
};

}  // namespace monitor
