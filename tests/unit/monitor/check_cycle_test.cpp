#include "MonitorFakes.h"

namespace monitor::test {
namespace {

struct RoundRobinRow {
    std::string name;
    std::vector<bool> inactive;
    int ticks;
    std::vector<std::string> expected;
};

class CheckCycleTest : public MonitorTest {
protected:
    std::vector<TestAccount> Accounts(const std::vector<bool>& inactive) {
        std::vector<TestAccount> accounts;
        for (std::size_t i = 0; i < inactive.size(); ++i) {
            const std::string host = "pop" + std::to_string(i + 1) + ".test";
            accounts.push_back({"Box" + std::to_string(i + 1), host, inactive[i]});
            Box(host).Fill(0);
        }
        return accounts;
    }
};

TEST_F(CheckCycleTest, RoundRobinTakesTheNextActiveAccount) {
    const std::vector<RoundRobinRow> rows = {
        {"second of three inactive", {false, true, false}, 3, {"user1", "user3", "user1", "user3"}},
        {"first inactive: the first check after connecting is the next active",
         {true, false, false},
         2,
         {"user2", "user3", "user2"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        servers.log.clear();
        MakeVorla(pop);
        ASSERT_TRUE(Start(Accounts(row.inactive)));
        jobs->Cycle.ConnectClick();
        ASSERT_TRUE(jobs->Shared.IsConnected);
        for (int i = 0; i < row.ticks; ++i) {
            jobs->Cycle.TimerTimer();
        }
        EXPECT_EQ(Logins(), row.expected);
    }
}

TEST_F(CheckCycleTest, ASingleAccountSwitchedOffWhileOnLineIsStillChecked) {
    ASSERT_TRUE(Start(Accounts({false})));
    jobs->Cycle.ConnectClick();
    jobs->Shared.Tables.AccountTable[0].inactive = true;
    jobs->Cycle.TimerTimer();
    jobs->Accounts.RefreshBtnMouseDown({.Left = true});
    EXPECT_EQ(Logins(), (std::vector<std::string>{"user1", "user1", "user1"}));
}

TEST_F(CheckCycleTest, TwoAccountsNoneActiveNeitherLoopsNorChecks) {
    ASSERT_TRUE(Start(Accounts({true, true})));
    jobs->Cycle.ConnectClick();
    EXPECT_FALSE(jobs->Shared.IsConnected);
    EXPECT_EQ(jobs->Shared.ErrorNotice(), kNoValidAccount);
    EXPECT_EQ(servers.Connects(), 0);

    // Connected with an active account, which is then switched off while on line.
    jobs->Shared.Tables.AccountTable[0].inactive = false;
    jobs->Cycle.ConnectClick();
    ASSERT_TRUE(jobs->Shared.IsConnected);
    jobs->Shared.Tables.AccountTable[0].inactive = true;
    const int connectsBefore = servers.Connects();
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(servers.Connects(), connectsBefore);
    EXPECT_EQ(jobs->Shared.ErrorNotice(), kNoValidAccount);
    EXPECT_EQ(view.Last("status "), std::string("status ") + kNoValidAccount);
}

TEST_F(CheckCycleTest, ConnectSetsTheCheckTimerAndShowsTheCount) {
    ASSERT_TRUE(Start(Accounts({false}), {"autocheck =1", "minutes = 7"}));
    Box("pop1.test").Fill(3);
    jobs->Cycle.ConnectClick();
    EXPECT_EQ(timer.interval, 7 * 60000);
    EXPECT_TRUE(timer.enabled);
    EXPECT_EQ(jobs->Shared.WaitingCount, 3);
    EXPECT_EQ(jobs->Ticker.StatusText, "Box1 3 messages");
    EXPECT_EQ(view.Last("tray "), "tray mail");
    EXPECT_EQ(view.Last("flag "), "flag gotmail");
    EXPECT_EQ(view.Last("count "), "count 3");
    // The probe reads the greeting only; the check then logs in.
    EXPECT_EQ(servers.log,
              (std::vector<std::string>{"connect pop1.test:110", "QUIT", "connect pop1.test:110",
                                        "USER user1", "PASS ****", "STAT", "LAST", "QUIT"}));

    Box("pop1.test").Fill(1);
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(jobs->Ticker.StatusText, "Box1 1 message");
    Box("pop1.test").Fill(0);
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(jobs->Ticker.StatusText, "Box1 empty");
    EXPECT_EQ(view.Last("tray "), "tray connected");
    EXPECT_EQ(view.Last("flag "), "flag nomail");
}

TEST_F(CheckCycleTest, CheckIntervalStaysWithinTheTimersRange) {
    struct Row {
        const char* name;
        const char* minutes;
        int interval;
    };
    const Row rows[] = {
        {"as set", "minutes = 7", 7 * 60000},
        {"zero would check without a pause", "minutes = 0", 60000},
        {"negative", "minutes = -3", 60000},
        {"too large for milliseconds", "minutes = 100000", 35791 * 60000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MakeVorla(pop);
        ASSERT_TRUE(Start(Accounts({false}), {"autocheck =1", row.minutes}));
        jobs->Cycle.ConnectClick();
        EXPECT_EQ(timer.interval, row.interval);
    }
}

TEST_F(CheckCycleTest, SoundPlaysWhenTheCountRisesAndAfterEveryReset) {
    ASSERT_TRUE(Start(Accounts({false}), {"playsnd =1", "wavsnd = /sounds/new.wav", "reset =1"}));
    Box("pop1.test").Fill(5);
    jobs->Cycle.ConnectClick();
    EXPECT_EQ(view.Count("sound /sounds/new.wav"), 1) << "first check after start-up";
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(view.Count("sound /sounds/new.wav"), 1) << "same count again";
    Box("pop1.test").Fill(6);
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(view.Count("sound /sounds/new.wav"), 2) << "count rose";

    Box("pop1.test").password = "changed";  // the login is refused
    jobs->Cycle.TimerTimer();
    Box("pop1.test").password.clear();
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(view.Count("sound /sounds/new.wav"), 3) << "after a failed check";

    jobs->Cycle.DisconnectClick();
    jobs->Cycle.ConnectClick();
    EXPECT_EQ(view.Count("sound /sounds/new.wav"), 4) << "after a disconnect";

    mailto.command = "evolution";
    jobs->MailClient.MAILClick();
    EXPECT_EQ(jobs->Shared.WaitingCount, 0);
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(view.Count("sound /sounds/new.wav"), 5) << "after the counter reset";
}

TEST_F(CheckCycleTest, NoSoundWhenSwitchedOffOrWithoutAFile) {
    ASSERT_TRUE(Start(Accounts({false}), {"playsnd =0", "wavsnd = /sounds/new.wav"}));
    Box("pop1.test").Fill(2);
    jobs->Cycle.ConnectClick();
    EXPECT_TRUE(view.With("sound ").empty());
    jobs->Shared.Config.playsnd = true;
    jobs->Shared.Config.wavsnd.clear();
    Box("pop1.test").Fill(4);
    jobs->Cycle.TimerTimer();
    EXPECT_TRUE(view.With("sound ").empty());
}

TEST_F(CheckCycleTest, FailedCheckKeepsTheCountAndShowsTheError) {
    ASSERT_TRUE(Start(Accounts({false, false})));
    Box("pop1.test").Fill(5);
    jobs->Cycle.ConnectClick();
    jobs->Cycle.TimerTimer();               // Box2
    Box("pop1.test").password = "changed";  // the login is refused
    jobs->Cycle.TimerTimer();               // Box1 again, refused
    EXPECT_EQ(jobs->Shared.ErrorNotice(), "Box1 -ERR [AUTH] Authentication failed.");
    EXPECT_EQ(jobs->Ticker.StatusText, jobs->Shared.ErrorNotice());
    EXPECT_EQ(jobs->Ticker.TickerText, jobs->Shared.ErrorNotice());
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, settings::kCheckFailed);
    EXPECT_EQ(jobs->Shared.WaitingCount, 0) << "WaitingCount still describes Box2";
    EXPECT_EQ(view.Last("count "), "count -") << "a failed check shows no count";
    EXPECT_EQ(view.Last("tray "), "tray connected");
    EXPECT_EQ(servers.log.back(), "PASS ****") << "no QUIT after a refused login";
    EXPECT_TRUE(jobs->Shared.IsConnected);
}

TEST_F(CheckCycleTest, FailedCheckOfTheSameAccountKeepsItsCountButShowsADash) {
    ASSERT_TRUE(Start(Accounts({false})));
    Box("pop1.test").Fill(5);
    jobs->Cycle.ConnectClick();
    Box("pop1.test").onCommand = [](const std::string& command) {
        return command == "STAT" ? std::string("-ERR STAT refused") : std::string();
    };
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(jobs->Shared.WaitingCount, 5);
    EXPECT_EQ(view.Last("count "), "count -");
    EXPECT_EQ(view.Last("tray "), "tray connected");
    EXPECT_EQ(view.Last("flag "), "flag nomail");
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, settings::kCheckFailed);
    EXPECT_EQ(jobs->Ticker.StatusText, "Box1 -ERR STAT refused");
}

TEST_F(CheckCycleTest, ProbeErrorNamesTheFirstValidAccount) {
    ASSERT_TRUE(Start({{"Off", "off.test", true}, {"Work", "work.test"}}));
    Box("work.test").refuseConnect = ECONNREFUSED;
    jobs->Cycle.ConnectClick();
    EXPECT_FALSE(jobs->Shared.IsConnected);
    EXPECT_EQ(jobs->Shared.ErrorNotice(), "Work  " + kRefused);
    EXPECT_FALSE(timer.enabled);
}

TEST_F(CheckCycleTest, AccountMenuCaptionsBeforeAndAfterChecks) {
    ASSERT_TRUE(Start({{"Home", "home.test"}, {"Old", "old.test", true}, {"Work", "work.test"}}));
    Box("home.test").Fill(4);
    Box("work.test").password = "changed";  // the login is refused

    jobs->Accounts.RefreshBtnMouseDown({.Right = true});
    ASSERT_EQ(view.accountMenu.size(), 4u);
    EXPECT_EQ(view.accountMenu[0].Caption, "( ? )  Home");
    EXPECT_EQ(view.accountMenu[0].Tag, 0);
    EXPECT_EQ(view.accountMenu[0].Picture, MenuPicture::None);
    EXPECT_EQ(view.accountMenu[1].Caption, "( ? )  Work");
    EXPECT_EQ(view.accountMenu[1].Tag, 2);
    EXPECT_EQ(view.accountMenu[2].Caption, "-");
    EXPECT_EQ(view.accountMenu[2].Tag, 30);
    EXPECT_EQ(view.accountMenu[3].Caption, "Check all accounts");
    EXPECT_EQ(view.accountMenu[3].Tag, 20);

    jobs->Cycle.ConnectClick();
    jobs->Accounts.MnuClick(20);
    jobs->Accounts.RefreshBtnMouseDown({.Right = true});
    EXPECT_EQ(view.accountMenu[0].Caption, "( 4 )  Home");
    EXPECT_EQ(view.accountMenu[0].Picture, MenuPicture::SmallOk);
    EXPECT_FALSE(view.accountMenu[0].IsDefault);
    EXPECT_EQ(view.accountMenu[1].Caption, "( x )  Work");
    EXPECT_EQ(view.accountMenu[1].Picture, MenuPicture::SmallErr);
    EXPECT_TRUE(view.accountMenu[1].IsDefault);

    jobs->Accounts.MnuClick(2);
    EXPECT_EQ(jobs->Shared.CurrentAccount, 3) << "the tag is the account number minus one";
}

TEST_F(CheckCycleTest, MenuTagOutsideTheTableChecksTheFirstAccount) {
    ASSERT_TRUE(Start(Accounts({false, false})));
    jobs->Cycle.ConnectClick();
    for (const int tag : {-4, 9, 25}) {
        SCOPED_TRACE(tag);
        servers.log.clear();
        jobs->Accounts.MnuClick(tag);
        EXPECT_EQ(jobs->Shared.CurrentAccount, 1);
        EXPECT_EQ(Logins(), std::vector<std::string>{"user1"});
    }
}

TEST_F(CheckCycleTest, MenuAndRefreshDoNothingWhileDisconnected) {
    ASSERT_TRUE(Start(Accounts({false})));
    jobs->Accounts.MnuClick(20);
    jobs->Accounts.RefreshBtnMouseDown({.Left = true});
    EXPECT_EQ(servers.Connects(), 0);
    EXPECT_EQ(view.Last("status "), "status Disconnected");
    jobs->Accounts.RefreshBtnMouseDown({.Left = true, .Shift = true});
    EXPECT_EQ(servers.Connects(), 0);
}

TEST_F(CheckCycleTest, DisconnectResetsTheCountsAndHangsUp) {
    ASSERT_TRUE(Start(Accounts({false}), {"RAS_connect =1", "autocheck =1"}));
    dialUp.entries = {"isp"};
    Box("pop1.test").Fill(2);
    jobs->Cycle.ConnectClick();
    jobs->Menu.PopMnuPopup();
    jobs->Cycle.DisconnectClick();
    EXPECT_FALSE(jobs->Shared.IsConnected);
    EXPECT_EQ(jobs->Shared.WaitingCount, 0);
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, settings::kNotCheckedYet);
    EXPECT_TRUE(jobs->Menu.PopMnu().NewsItems.empty());
    EXPECT_EQ(dialUp.log.back(), "hangup 0");
    EXPECT_EQ(view.Last("tray "), "tray disconnected");
    EXPECT_EQ(view.Last("count "), "count 0");
    EXPECT_FALSE(timer.enabled);
    EXPECT_FALSE(jobs->Ticker.Scroll.Enabled());
}

TEST_F(CheckCycleTest, DialUpTexts) {
    ASSERT_TRUE(Start(Accounts({false}), {"RAS_connect =1", "RAS_num = 4"}));
    dialUp.entries = {"isp", "backup"};
    dialUp.dialError = "the line is busy";
    jobs->Cycle.ConnectClick();
    EXPECT_EQ(jobs->Shared.Config.RAS_num, 0)
        << "an index past the list falls back to the first entry";
    EXPECT_EQ(view.Count("status Connection to isp"), 1);
    EXPECT_EQ(jobs->Shared.ErrorNotice(), "isp : the line is busy");
    EXPECT_FALSE(jobs->Shared.IsConnected);
    EXPECT_EQ(servers.Connects(), 0);

    dialUp.entries.clear();
    jobs->Cycle.ConnectClick();
    EXPECT_EQ(jobs->Shared.ErrorNotice(), kNoDialUpEntry);
    EXPECT_FALSE(jobs->Shared.IsConnected);
}

TEST_F(CheckCycleTest, DroppedDialUpLineTakesTheWindowOffLine) {
    ASSERT_TRUE(Start(Accounts({false}), {"RAS_connect =1", "autocheck =1"}));
    dialUp.entries = {"isp"};
    Box("pop1.test").Fill(1);
    jobs->Cycle.ConnectClick();
    ASSERT_TRUE(jobs->Shared.IsConnected);

    Box("pop1.test").refuseConnect = ECONNREFUSED;
    dialUp.state = 8193;
    jobs->Cycle.TimerTimer();
    EXPECT_FALSE(jobs->Shared.IsConnected);
    EXPECT_EQ(jobs->Ticker.StatusText, "Disconnected");
    EXPECT_EQ(view.Last("tray "), "tray disconnected");
    EXPECT_EQ(view.Last("count "), "count 0");
    EXPECT_FALSE(timer.enabled);
    EXPECT_EQ(dialUp.log.back(), "state isp");
}

TEST_F(CheckCycleTest, NewsDownloadRefusesAPumpedCheck) {
    ASSERT_TRUE(Start(Accounts({false})));
    jobs->Cycle.ConnectClick();
    const int connects = servers.Connects();
    downloader.during = [&] { jobs->Cycle.TimerTimer(); };
    jobs->News.Actualiser1Click();
    EXPECT_EQ(servers.Connects(), connects);
}

TEST_F(CheckCycleTest, FlagDoubleClickOpensTheMailboxOrTheNotepad) {
    ASSERT_TRUE(Start(Accounts({false})));
    jobs->HandOver.FLAGMouseDown({.Left = true, .Double = true});
    EXPECT_TRUE(jobs->Shared.NotepadMode) << "disconnected: notepad";
    EXPECT_EQ(view.Count("status notepad"), 1);

    Box("pop1.test").Fill(2);
    jobs->Cycle.ConnectClick();
    int pumpedChecks = 0;
    messageWindow.whileShown = [&] {
        const int before = servers.Connects();
        jobs->Cycle.TimerTimer();
        pumpedChecks += servers.Connects() - before;
        Box("pop1.test").Fill(1);
    };
    jobs->HandOver.FLAGMouseDown({.Left = true, .Double = true});
    EXPECT_FALSE(jobs->Shared.NotepadMode);
    EXPECT_EQ(pumpedChecks, 0) << "no check while the mailbox session is open";
    EXPECT_EQ(messageWindow.log, (std::vector<std::string>{"modal", "display 1", "modal"}));
    EXPECT_EQ(view.Count("status reading message..."), 1);
    EXPECT_EQ(jobs->Ticker.StatusText, "Box1 2 messages");
}

TEST_F(CheckCycleTest, FailedFirstFetchShowsAMessageAndRestartsTheTimers) {
    ASSERT_TRUE(Start(Accounts({false}), {"autocheck =1"}));
    Box("pop1.test").Fill(2);
    jobs->Cycle.ConnectClick();
    Box("pop1.test").password = "changed";  // the login is refused
    messageWindow.displayError = "Not connected.";
    jobs->HandOver.FLAGMouseDown({.Left = true, .Double = true});
    EXPECT_EQ(view.Last("message "), "message Not connected.");
    EXPECT_EQ(jobs->Shared.WaitingCount, 2) << "a session that did not open keeps the last count";
    EXPECT_TRUE(timer.enabled);
    EXPECT_EQ(view.calls.back(), "buttons on");
}

TEST_F(CheckCycleTest, SkinSwitchKeepsTheMailStateOfTheTray) {
    ASSERT_TRUE(Start(Accounts({false})));
    Box("pop1.test").Fill(2);
    jobs->Cycle.ConnectClick();
    jobs->Shared.Config.SkinDir = VORLA_SKINS;
    jobs->Menu.SwitchSkinClick("frost");
    EXPECT_EQ(view.Last("tray "), "tray mail");
    EXPECT_EQ(view.Last("flag "), "flag gotmail");
    EXPECT_EQ(jobs->Ticker.StatusText, "Box1 2 messages");
}

TEST_F(CheckCycleTest, MailPictureThatCannotBeLoadedEndsTheProgram) {
    ASSERT_TRUE(Start(Accounts({false})));
    Box("pop1.test").Fill(2);
    jobs->Skin.GotMailPath = Folder() + "missing.bmp";
    EXPECT_THROW(jobs->Cycle.ConnectClick(), settings::FatalSettingsError);
    EXPECT_EQ(view.Last("message "),
              "message -Err :  Invalid SKIN.INI, check the bitmaps.[youhavemail]");
    EXPECT_EQ(view.Count("exit"), 1);
    EXPECT_FALSE(jobs->Guard.Busy()) << "the guard is released on the way out";
}

TEST_F(CheckCycleTest, RetrieveProgressText) {
    ASSERT_TRUE(Start(Accounts({false})));
    messageWindow.size = 5000;
    client.OnRetrieveProgress(&client, 40);
    EXPECT_EQ(view.Last("status "), "status reading 40% sur 4K");
    client.OnRetrieveProgress(&client, 250);
    EXPECT_EQ(view.Last("status "), "status reading 100% sur 4K");
}

}  // namespace
}  // namespace monitor::test
