// Faults of the mail server and of the dial-up line during a connect or a check: the window
// always comes back usable and says what is true.
#include "MonitorFakes.h"
#include "app/composition/ComponentAdapters.h"
#include "net/RASControl.h"
#include "platform/MemoryRasApi.h"

namespace monitor::test {
namespace {

// The client's error event: the account, the (empty) status of a broken connection, the text.
const std::string kReset =
    "Box1  Erreur socket Windows : Connection reset by peer (104), avec l'API 'recv'";

class CheckFaultsTest : public MonitorTest {
protected:
    bool StartOne(const std::vector<std::string>& extra = {"autocheck =1"}) {
        Box1().Fill(2);
        return Start({{"Box1", "pop1.test"}}, extra);
    }
    testsupport::Pop3Mailbox& Box1() { return Box("pop1.test"); }
};

TEST_F(CheckFaultsTest, MailFaultLeavesNoCallAndBringsTheWindowBack) {
    struct Row {
        const char* name;
        bool connectFirst;
        std::function<void(MonitorJobs&, TVorla&)> action;
    };
    const std::vector<Row> rows = {
        {"probe of Connect", false, [](MonitorJobs& j, TVorla&) { j.Cycle.ConnectClick(); }},
        {"timer check", true, [](MonitorJobs& j, TVorla&) { j.Cycle.TimerTimer(); }},
        {"refresh click", true,
         [](MonitorJobs& j, TVorla&) { j.Accounts.RefreshBtnMouseDown({.Left = true}); }},
        {"account menu", true, [](MonitorJobs& j, TVorla&) { j.Accounts.MnuClick(20); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MakeVorla(pop);
        servers.hosts.clear();
        ASSERT_TRUE(StartOne());
        if (row.connectFirst) {
            jobs->Cycle.ConnectClick();
            ASSERT_TRUE(jobs->Shared.IsConnected);
        }
        Box1().resetAtGreeting = true;
        view.calls.clear();
        std::vector<std::string> notices;
        jobs->Shared.OnErrorNotice = [&](const std::string& text) { notices.push_back(text); };

        EXPECT_NO_THROW(row.action(*jobs, *vorla));
        EXPECT_EQ(notices, std::vector<std::string>{kReset}) << "one fault, one report";
        EXPECT_EQ(jobs->Shared.ErrorNotice(), kReset);
        EXPECT_TRUE(view.With("message ").empty()) << "no message box for a mail fault";
        EXPECT_FALSE(jobs->Guard.Busy());
        EXPECT_TRUE(jobs->Ticker.Scroll.Enabled());
        if (row.connectFirst) {
            EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, settings::kCheckFailed);
            EXPECT_EQ(jobs->Ticker.StatusText, kReset);
            EXPECT_TRUE(timer.enabled);
        } else {
            EXPECT_FALSE(jobs->Shared.IsConnected);
            EXPECT_FALSE(timer.enabled);
        }
        const auto buttons = view.With("buttons ");
        if (!buttons.empty()) {
            EXPECT_EQ(buttons.back(), "buttons on");
        }
    }
}

TEST_F(CheckFaultsTest, MailboxOpenedOnABrokenServerStillRestartsTheTimers) {
    ASSERT_TRUE(StartOne());
    jobs->Cycle.ConnectClick();
    Box1().resetAtGreeting = true;
    messageWindow.displayError = "Not connected.";
    EXPECT_NO_THROW(jobs->HandOver.FLAGMouseDown({.Left = true, .Double = true}));
    EXPECT_EQ(view.Last("message "), "message Not connected.") << "the message window's own box";
    EXPECT_TRUE(timer.enabled);
    EXPECT_EQ(view.calls.back(), "buttons on");
}

TEST_F(CheckFaultsTest, FailedGreetingIsExplainedWithTheClientsText) {
    // A closed connection is reported by the client's error event (its status is empty); a
    // refusing greeting only sets Failed, and the monitor explains it itself.
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"", "Box1  Connection closed by the server."},
        {"-ERR too many connections", "Box1 -ERR too many connections"},
    };
    for (const auto& [greeting, notice] : rows) {
        SCOPED_TRACE(notice);
        MakeVorla(pop);
        Box1().greeting = greeting;
        ASSERT_TRUE(Start({{"Box1", "pop1.test"}}));
        jobs->Cycle.ConnectClick();
        EXPECT_FALSE(jobs->Shared.IsConnected);
        EXPECT_EQ(jobs->Shared.ErrorNotice(), notice);
    }
}

TEST_F(CheckFaultsTest, ConnectWhileTheServerIsDownShowsTheWindowOffLineAndCanRecover) {
    ASSERT_TRUE(StartOne());
    jobs->Cycle.ConnectClick();
    ASSERT_TRUE(jobs->Shared.IsConnected);
    ASSERT_EQ(view.Last("tray "), "tray mail");

    Box1().refuseConnect = ECONNREFUSED;
    jobs->Cycle.ConnectClick();
    EXPECT_FALSE(jobs->Shared.IsConnected);
    EXPECT_EQ(view.Last("online-picture "), "online-picture off");
    EXPECT_EQ(view.Last("tray "), "tray disconnected");
    EXPECT_EQ(view.Last("count "), "count 0");
    EXPECT_EQ(view.Last("hint "), "hint Disconnected");
    EXPECT_FALSE(timer.enabled);

    Box1().refuseConnect = 0;
    jobs->Cycle.ConnectClick();
    EXPECT_TRUE(jobs->Shared.IsConnected);
    EXPECT_EQ(view.Last("online-picture "), "online-picture on");
    EXPECT_EQ(view.Last("tray "), "tray mail");
    EXPECT_TRUE(timer.enabled);
}

// A server that takes 600 ms over every answer, each well within the time-out of 1 s: a check
// and the opening of the mailbox still give up within the time-out (and the last answer's
// delay) as a whole, with the time-out in the status line.
TEST_F(CheckFaultsTest, SlowAnswersCannotStretchASessionPastItsTimeOut) {
    const struct {
        const char* name;
        std::function<void(MonitorJobs&, TVorla&)> action;
    } rows[] = {
        {"timer check", [](MonitorJobs& j, TVorla&) { j.Cycle.TimerTimer(); }},
        {"opening the mailbox",
         [](MonitorJobs& j, TVorla&) { j.HandOver.FLAGMouseDown({.Left = true, .Double = true}); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MakeVorla(pop);
        servers.hosts.clear();
        ASSERT_TRUE(StartOne());
        client.TimeOut = 1000;
        jobs->Cycle.ConnectClick();
        ASSERT_TRUE(jobs->Shared.IsConnected);
        Box1().onCommand = [this](const std::string&) {
            clock.now += 600;
            return std::string();
        };
        std::string notice;
        jobs->Shared.OnErrorNotice = [&](const std::string& text) { notice = text; };
        const std::int64_t start = clock.now;
        EXPECT_NO_THROW(row.action(*jobs, *vorla));
        EXPECT_LE(clock.now - start, 1000 + 600);
        EXPECT_NE(notice.find("timed out"), std::string::npos) << notice;
    }
}

// The real dial-up control over a service whose line stays up until it is hung up.
class DialUpFaultsTest : public CheckFaultsTest {
protected:
    DialUpFaultsTest() : rasc(api), ras(rasc) {
        api.AddEntry("isp");
        MakeVorla(pop, ras);
    }
    platform::MemoryRasApi api;
    net::TRASControl rasc;
    app::RasDialUp ras;
};

TEST_F(DialUpFaultsTest, LineDialledForAServerThatDoesNotAnswerIsHungUp) {
    ASSERT_TRUE(StartOne({"RAS_connect =1", "autocheck =1"}));
    Box1().refuseConnect = ECONNREFUSED;
    jobs->Cycle.ConnectClick();
    EXPECT_FALSE(jobs->Shared.IsConnected);
    EXPECT_TRUE(api.connections.empty()) << "the dialled line was hung up";
    EXPECT_FALSE(rasc.Busy());

    Box1().refuseConnect = 0;
    jobs->Cycle.ConnectClick();
    EXPECT_TRUE(jobs->Shared.IsConnected) << jobs->Shared.ErrorNotice();
    EXPECT_EQ(api.dialledParams.size(), 2u);
}

TEST_F(DialUpFaultsTest, LinkLostWhileTheDiallerRunsIsReleased) {
    ASSERT_TRUE(StartOne({"RAS_connect =1", "autocheck =1"}));
    jobs->Cycle.ConnectClick();
    ASSERT_TRUE(jobs->Shared.IsConnected);
    ASSERT_EQ(api.connections.size(), 1u);

    // pppd keeps running without a link.
    api.connections[0].state = platform::kRasStateOpenPort;
    Box1().refuseConnect = ECONNREFUSED;
    jobs->Cycle.TimerTimer();
    EXPECT_FALSE(jobs->Shared.IsConnected);
    EXPECT_EQ(view.Last("tray "), "tray disconnected");
    EXPECT_TRUE(api.connections.empty());
    EXPECT_FALSE(rasc.Busy());

    Box1().refuseConnect = 0;
    jobs->Cycle.ConnectClick();
    EXPECT_TRUE(jobs->Shared.IsConnected) << jobs->Shared.ErrorNotice();
}

TEST_F(CheckFaultsTest, DisconnectOrExitDuringACheckAbortsIt) {
    struct Row {
        const char* name;
        std::function<void(MonitorJobs&, TVorla&)> click;
        bool connectedAfter;
    };
    const std::vector<Row> rows = {
        {"disconnect", [](MonitorJobs& j, TVorla&) { j.Cycle.DisconnectClick(); }, false},
        {"exit", [](MonitorJobs&, TVorla& v) { v.Exit1Click(); }, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MakeVorla(pop);
        servers.hosts.clear();
        ASSERT_TRUE(StartOne());
        jobs->Cycle.ConnectClick();
        ASSERT_TRUE(jobs->Shared.IsConnected);
        Box1().silent = true;
        int pumpsInCheck = 0;
        bool clicked = false;
        pump.onPump = [&] {
            if (!jobs->Guard.Busy()) {
                return;
            }
            ++pumpsInCheck;
            if (!clicked) {
                clicked = true;
                row.click(*jobs, *vorla);
            }
        };
        jobs->Cycle.TimerTimer();
        pump.onPump = nullptr;

        EXPECT_LT(pumpsInCheck, 10) << "the wait ended at the click, not at its time-out";
        EXPECT_EQ(jobs->Shared.IsConnected, row.connectedAfter);
        EXPECT_NE(jobs->Shared.ErrorNotice().find("Operation canceled"), std::string::npos)
            << jobs->Shared.ErrorNotice();
        EXPECT_FALSE(jobs->Guard.Busy());
    }
    EXPECT_EQ(view.Count("close"), 1);
}

}  // namespace
}  // namespace monitor::test
