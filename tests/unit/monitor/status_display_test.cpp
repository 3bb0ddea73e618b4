// What the window says of the mailboxes: the tray's tool tip, the tray, flag and count drawn
// from one state, and a desktop without a tray.
#include "MonitorFakes.h"

namespace monitor::test {
namespace {

class StatusDisplayTest : public MonitorTest {};

TEST_F(StatusDisplayTest, TrayToolTipTellsEachActiveAccountsCountOrWhyItFailed) {
    ASSERT_TRUE(Start({{"Home", "home.test"}, {"Work", "work.test"}, {"Old", "old.test", true}},
                      {"icon_tray =1"}));
    EXPECT_EQ(view.Last("tip "), "tip Vorla\nDisconnected");
    Box("home.test").Fill(3);
    Box("work.test").Fill(2);
    const std::string accepted = Box("work.test").password;
    struct Row {
        const char* name;
        std::function<void()> before;
        std::string tip;
        std::string count;
        std::string tray;
    };
    const std::vector<Row> rows = {
        {"connect checks Home", [&] { jobs->Cycle.ConnectClick(); },
         "Vorla\nHome: 3 messages\nWork: not checked yet", "count 3", "tray mail"},
        {"Work refuses the login", [&] { Box("work.test").password = "changed"; },
         "Vorla\nHome: 3 messages\nWork: login refused", "count -", "tray connected"},
        {"Home again, one message left", [&] { Box("home.test").Fill(1); },
         "Vorla\nHome: 1 message\nWork: login refused", "count 1", "tray mail"},
        {"Work cannot be reached", [&] { Box("work.test").refuseConnect = ECONNREFUSED; },
         "Vorla\nHome: 1 message\nWork: " + kRefused, "count -", "tray connected"},
        {"Home empty", [&] { Box("home.test").Fill(0); },
         "Vorla\nHome: 0 messages\nWork: " + kRefused, "count 0", "tray connected"},
        {"Work answers again",
         [&] {
             Box("work.test").refuseConnect = 0;
             Box("work.test").password = accepted;
         },
         "Vorla\nHome: 0 messages\nWork: 2 messages", "count 2", "tray mail"},
    };
    bool connected = false;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        row.before();
        if (connected) {
            jobs->Cycle.TimerTimer();
        }
        connected = true;
        EXPECT_EQ(view.Last("tip "), "tip " + row.tip);
        EXPECT_EQ(view.Last("count "), row.count);
        EXPECT_EQ(view.Last("tray "), row.tray);
    }
    jobs->Cycle.DisconnectClick();
    EXPECT_EQ(view.Last("tip "), "tip Vorla\nDisconnected");
}

TEST_F(StatusDisplayTest, TrayFlagAndCountAgreeWhenRedrawnAfterTheDialog) {
    struct Row {
        const char* name;
        std::string password;  // the server's; the account's is the one it accepts
        std::string flag;
        std::string icon;
        std::string count;
    };
    const std::vector<Row> rows = {
        {"mail waiting", "", "flag gotmail", "mail", "count 3"},
        {"the last check failed", "changed", "flag nomail", "connected", "count -"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MakeVorla(pop);
        servers.hosts.clear();
        ASSERT_TRUE(Start({{"Home", "home.test"}}, {"icon_tray =1"}));
        Box("home.test").Fill(3);
        jobs->Cycle.ConnectClick();
        if (!row.password.empty()) {
            Box("home.test").password = row.password;
            jobs->Cycle.TimerTimer();
        }
        view.calls.clear();
        // What OK in the dialog runs; the dialog ends with the redraw.
        jobs->Status.AfficheTray(true);
        jobs->Status.ShowMailState();
        EXPECT_EQ(view.With("flag "), std::vector<std::string>{row.flag});
        EXPECT_EQ(view.Last("tray-modify "), "tray-modify " + row.icon);
        EXPECT_EQ(view.Last("tray "), "tray " + row.icon);
        EXPECT_EQ(view.Last("count "), row.count);
    }
}

TEST_F(StatusDisplayTest, WithoutATrayTheWindowStaysAndSaysSoOnce) {
    const std::string notice = std::string("status ") + kNoSystemTray;
    struct Row {
        const char* name;
        std::vector<std::string> settings;
        bool said;
    };
    const std::vector<Row> rows = {
        {"tray icon wanted", {"icon_tray =1"}, true},
        {"start hidden", {"icon_tray =0", "hidden =1"}, true},
        {"neither", {"icon_tray =0", "hidden =0"}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        view.calls.clear();
        view.visible = true;
        view.hasTray = false;
        MakeVorla(pop);
        ASSERT_TRUE(Start({{"Home", "home.test"}}, row.settings));
        vorla->FirstPaint();
        EXPECT_TRUE(view.visible);
        EXPECT_EQ(view.Count("hide"), 0);
        EXPECT_TRUE(jobs->Ticker.Scroll.Enabled());
        // The dialog asks again after OK; the status line has said it already.
        jobs->Status.SayTrayMissingOnce();
        EXPECT_EQ(view.Count(notice), row.said ? 1 : 0);
    }
}

}  // namespace
}  // namespace monitor::test
