#include "app/composition/ImapMailboxWatch.h"

#include <chrono>
#include <vector>

namespace app {

namespace {

constexpr std::chrono::milliseconds kPumpSlice{5};

std::unique_ptr<IdleSession> MakeImapSession(const WatchedAccount& account,
                                             const StopSignal& stop) {
    return std::make_unique<ImapIdleSession>(account, stop);
}

}  // namespace

ImapMailboxWatch::ImapMailboxWatch(platform::Synchronizer& sync, platform::EventPump& pump,
                                   IdleSessionFactory makeSession)
    : m_sync(sync),
      m_pump(pump),
      m_makeSession(makeSession ? std::move(makeSession) : MakeImapSession) {}

ImapMailboxWatch::~ImapMailboxWatch() {
    OnNewMail = nullptr;
    for (auto& worker : m_workers) {
        worker->stop.Stop();
    }
    Reap(true);
}

void ImapMailboxWatch::Start(const settings::Tables& accounts) {
    Stop();
    for (int n = 1; n <= accounts.AccountCount; ++n) {
        const settings::AccountRecord& account = accounts.AccountTable[n - 1];
        if (account.inactive || account.acc_name.empty() || !settings::IsImap(account)) {
            continue;
        }
        // Without its password the account is left to the timer's check, which says why.
        if (account.keyring_unread) {
            continue;
        }
        Launch({n, account.host_name, std::to_string(account.port_number), account.user_name,
                account.password, settings::FolderText(account.folder), account.tls_mode,
                account.tls_fingerprint, account.oauth_command, TimeOutMs});
    }
}

void ImapMailboxWatch::Stop() {
    for (auto& worker : m_workers) {
        worker->stop.Stop();
    }
    // Inside a report the worker that made it cannot end yet; it is joined later.
    Reap(m_delivering == 0);
}

void ImapMailboxWatch::Launch(const WatchedAccount& account) {
    auto worker = std::make_shared<Worker>();
    Worker& w = *worker;
    m_workers.push_back(std::move(worker));
    w.thread = std::thread([this, &w, account] {
        try {
            const std::unique_ptr<IdleSession> session = m_makeSession(account, w.stop);
            IdleLoop loop(
                *session, w.stop, [&w](std::uint32_t ms) { return !w.stop.WaitFor(ms); },
                [this, &w, number = account.number] {
                    if (!w.stop.Stopped()) {
                        m_sync.Synchronize([this, &w, number] { Deliver(number, w); });
                    }
                });
            loop.Run();
        } catch (const std::exception&) {
            // Mail faults are the loop's to handle; anything else (out of memory) ends this
            // account's push only, and the timer's checks go on serving it.
        }
        w.ended = true;
    });
}

void ImapMailboxWatch::Deliver(int number, const Worker& worker) {
    // A report that was on its way when the watch stopped is old news.
    if (worker.stop.Stopped() || !OnNewMail) {
        return;
    }
    struct Depth {
        int& depth;
        ~Depth() { --depth; }
    } depth{++m_delivering};
    OnNewMail(number);
}

void ImapMailboxWatch::Reap(bool all) {
    if (all) {
        // The pump may start a new watch; only the workers stopped here are waited for.
        const std::vector<std::shared_ptr<Worker>> stopped(m_workers.begin(), m_workers.end());
        for (const auto& worker : stopped) {
            while (!worker->ended) {
                m_pump.ProcessMessages();
                std::this_thread::sleep_for(kPumpSlice);
            }
        }
    }
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if ((*it)->ended) {
            (*it)->thread.join();
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace app
