#pragma once
// Push for IMAP accounts: one worker thread per watched account keeps a connection in IDLE on
// its folder (IdleLoop) and hands each report of new mail to the window thread through the
// Synchronizer. Every thread has ended by the time the watch is destroyed.
#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <thread>

#include "app/composition/IdleLoop.h"
#include "app/composition/ImapIdleSession.h"
#include "monitor/MailboxWatch.h"
#include "platform/EventPump.h"

namespace app {

// Makes the connection of a worker; the IMAP one in the program, fakes in tests.
using IdleSessionFactory =
    std::function<std::unique_ptr<IdleSession>(const WatchedAccount&, const StopSignal&)>;

class ImapMailboxWatch final : public monitor::MailboxWatch {
public:
    // sync and pump are the window thread's; both must outlive the watch.
    ImapMailboxWatch(platform::Synchronizer& sync, platform::EventPump& pump,
                     IdleSessionFactory makeSession = {});
    // Stops and waits for every worker, pumping the window thread's events meanwhile (a worker
    // may wait for its report to be run there).
    ~ImapMailboxWatch() override;
    ImapMailboxWatch(const ImapMailboxWatch&) = delete;
    ImapMailboxWatch& operator=(const ImapMailboxWatch&) = delete;

    void Start(const settings::Tables& accounts) override;
    void Stop() override;

    // The bound of every wait of a push connection, as the checks' client has it.
    std::uint32_t TimeOutMs = 60000;
    // Workers running now (also those stopped but not yet ended).
    std::size_t Workers() const { return m_workers.size(); }

private:
    struct Worker {
        StopSignal stop;
        std::atomic<bool> ended{false};
        std::thread thread;
    };

    void Launch(const WatchedAccount& account);
    void Deliver(int number, const Worker& worker);
    // Joins the workers that have ended; with all, waits for every one.
    void Reap(bool all);

    platform::Synchronizer& m_sync;
    platform::EventPump& m_pump;
    IdleSessionFactory m_makeSession;
    // Shared with a Reap that waits for them while a nested Start or Stop reaps as well.
    std::list<std::shared_ptr<Worker>> m_workers;
    // Reports being run now: the worker of each waits below us for its call to return, so it
    // cannot be joined until then.
    int m_delivering = 0;
};

}  // namespace app
