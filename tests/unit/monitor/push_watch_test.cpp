// Push: the schedule of one IDLE connection, the watch's threads, and the checks its reports
// ask for.
#include <atomic>
#include <chrono>
#include <deque>
#include <thread>

#include "MonitorFakes.h"
#include "app/composition/IdleLoop.h"
#include "app/composition/ImapMailboxWatch.h"
#include "platform/QueuedSynchronizer.h"

namespace monitor::test {
namespace {

using app::IdleLoop;
using app::IdleSession;
using Opened = IdleSession::Opened;

// What each Open and each Idle of a scripted connection comes to, in order. An Idle step
// reports that many new messages first; a script that runs out fails every Open.
struct IdleStep {
    bool ends = true;  // the wait ran its course; false: the connection dropped
    int news = 0;
};

class ScriptedIdleSession final : public IdleSession {
public:
    std::deque<Opened> opens;
    std::deque<IdleStep> idles;
    std::vector<std::string> log;

    Opened Open() override {
        log.push_back("open");
        if (opens.empty()) {
            return Opened::Failed;
        }
        const Opened opened = opens.front();
        opens.pop_front();
        return opened;
    }
    bool Idle(std::uint32_t ms, const std::function<void()>& onGrown) override {
        log.push_back("idle " + std::to_string(ms / 60000) + " min");
        if (idles.empty()) {
            return false;
        }
        const IdleStep step = idles.front();
        idles.pop_front();
        for (int n = 0; n < step.news; ++n) {
            onGrown();
        }
        return step.ends;
    }
    void Close() override { log.push_back("close"); }
};

struct ScheduleRow {
    std::string name;
    std::deque<Opened> opens;
    std::deque<IdleStep> idles;
    // The pauses taken (in seconds) before the test ends the loop.
    std::vector<std::uint32_t> pauses;
    int news = 0;
};

TEST(IdleLoopTest, Schedule) {
    const std::vector<ScheduleRow> rows = {
        {"a server that stays away: pauses double up to five minutes",
         {},
         {},
         {5, 10, 20, 40, 80, 160, 300, 300}},
        {"a drop after a wait that ran its course starts the pauses again",
         {Opened::Failed, Opened::Failed, Opened::Idling},
         {{true, 0}, {false, 0}},
         {5, 10, 5}},
        {"a connection dropped at once is no recovery",
         {Opened::Failed, Opened::Idling, Opened::Idling},
         {{false, 0}},
         {5, 10, 20}},
        {"news is reported and the wait goes on",
         {Opened::Idling},
         {{true, 2}, {false, 1}},
         {5},
         3},
        {"no IDLE: the loop ends without a pause", {Opened::NoIdle}, {}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedIdleSession session;
        session.opens = row.opens;
        session.idles = row.idles;
        app::StopSignal stop;
        std::vector<std::uint32_t> pauses;
        int news = 0;
        IdleLoop loop(
            session, stop,
            [&](std::uint32_t ms) {
                pauses.push_back(ms / 1000);
                return pauses.size() < row.pauses.size();
            },
            [&] { ++news; });
        loop.Run();
        EXPECT_EQ(pauses, row.pauses);
        EXPECT_EQ(news, row.news);
        EXPECT_EQ(session.log.back(), "close") << "every connection is ended";
    }
}

TEST(IdleLoopTest, EveryWaitIsRenewedAfterTwentyFiveMinutes) {
    ScriptedIdleSession session;
    session.opens = {Opened::Idling};
    session.idles = {{true, 0}, {true, 0}};
    app::StopSignal stop;
    IdleLoop loop(
        session, stop, [](std::uint32_t) { return false; }, [] {});
    loop.Run();
    EXPECT_EQ(session.log, (std::vector<std::string>{"open", "idle 25 min", "idle 25 min",
                                                     "idle 25 min", "close"}));
}

// A connection that waits until its stop, reporting news once when the test says so.
class BlockingIdleSession final : public IdleSession {
public:
    BlockingIdleSession(const app::StopSignal& stop, std::atomic<int>& newsToTell)
        : m_stop(stop), m_newsToTell(newsToTell) {}
    Opened Open() override { return Opened::Idling; }
    bool Idle(std::uint32_t, const std::function<void()>& onGrown) override {
        while (!m_stop.Stopped()) {
            if (m_newsToTell.exchange(0) > 0) {
                onGrown();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    void Close() override {}

private:
    const app::StopSignal& m_stop;
    std::atomic<int>& m_newsToTell;
};

class MailboxWatchTest : public ::testing::Test {
protected:
    MailboxWatchTest() {
        for (const char* protocol : {"imap", "pop3", "IMAP"}) {
            settings::AccountRecord& account = tables.AccountTable[tables.AccountCount++];
            account.acc_name = std::string("Box ") + protocol;
            account.protocol = protocol;
        }
        watch.OnNewMail = [this](int account) { reported.push_back(account); };
    }

    platform::QueuedSynchronizer windowThread;
    std::atomic<int> newsToTell{0};
    std::vector<int> reported;
    settings::Tables tables;
    app::ImapMailboxWatch watch{windowThread, windowThread,
                                [this](const app::WatchedAccount&, const app::StopSignal& stop) {
                                    return std::make_unique<BlockingIdleSession>(stop, newsToTell);
                                }};
};

TEST_F(MailboxWatchTest, ReportsReachTheWindowThreadAndStopEndsEveryConnectionAtOnce) {
    watch.Start(tables);
    EXPECT_EQ(watch.Workers(), 2U) << "the two IMAP accounts, not the POP3 one";
    newsToTell = 1;
    ASSERT_TRUE(windowThread.WaitForCall(std::chrono::seconds(5)));
    windowThread.ProcessMessages();
    EXPECT_EQ(reported.size(), 1U);

    const auto start = std::chrono::steady_clock::now();
    watch.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(watch.Workers(), 0U);
}

TEST_F(MailboxWatchTest, AReportOnItsWayWhenTheWatchStopsIsDropped) {
    watch.Start(tables);
    newsToTell = 1;
    ASSERT_TRUE(windowThread.WaitForCall(std::chrono::seconds(5)));
    watch.Stop();  // runs the queued report while it waits for the workers
    windowThread.ProcessMessages();
    EXPECT_TRUE(reported.empty());
}

// Records what the check cycle asks of the watch.
class RecordingWatch final : public MailboxWatch {
public:
    std::vector<std::string> log;
    void Start(const settings::Tables&) override { log.push_back("start"); }
    void Stop() override { log.push_back("stop"); }
};

class PushCheckTest : public MonitorTest {
protected:
    RecordingWatch watch;
};

TEST_F(PushCheckTest, AReportDuringACheckOrADialogIsCheckedOnceAfterIt) {
    Box("pop1.test").Fill(0);
    Box("pop2.test").Fill(2);
    ASSERT_TRUE(Start({{"Box1", "pop1.test"}, {"Box2", "pop2.test"}}));
    jobs->Cycle.SetMailboxWatch(&watch);
    // The server of account 2 reports while the first check after connecting runs.
    pump.onPump = [this] {
        if (!jobs->Shared.IsConnected) {
            return;
        }
        pump.onPump = nullptr;
        watch.OnNewMail(2);
        watch.OnNewMail(2);
    };
    jobs->Cycle.ConnectClick();
    EXPECT_EQ(Logins(), (std::vector<std::string>{"user1", "user2"}));
    EXPECT_EQ(jobs->Shared.CurrentAccount, 2);
    EXPECT_EQ(view.Last("count "), "count 2");
    EXPECT_EQ(watch.log, (std::vector<std::string>{"start"}));

    // A dialog holds the timers, as "Configure" does: the report waits until it has ended.
    jobs->Timers.StopTimers();
    watch.OnNewMail(1);
    EXPECT_EQ(Logins().size(), 2U) << "no check under the dialog";
    jobs->Timers.StartTimers();
    EXPECT_EQ(Logins(), (std::vector<std::string>{"user1", "user2", "user1"}));

    jobs->Cycle.DisconnectClick();
    EXPECT_EQ(watch.log.back(), "stop");
    watch.OnNewMail(1);
    EXPECT_EQ(Logins().size(), 3U) << "no check while off line";
}

}  // namespace
}  // namespace monitor::test
