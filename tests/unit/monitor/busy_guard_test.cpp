// Clicks that arrive while a check waits on the server: they wait their turn and run once the
// check has ended, so the check's state is never half-changed under it.
#include "MonitorFakes.h"
#include "skin/SkinModel.h"

namespace monitor::test {
namespace {

class BusyGuardTest : public MonitorTest {
protected:
    // Box1 with 2 messages, Box2 with 5; connected, Box1 checked.
    void ConnectTwo(const std::vector<std::string>& extra = {}) {
        Box("pop1.test").Fill(2);
        Box("pop2.test").Fill(5);
        ASSERT_TRUE(Start({{"Box1", "pop1.test"}, {"Box2", "pop2.test"}}, extra));
        jobs->Cycle.ConnectClick();
        ASSERT_TRUE(jobs->Shared.IsConnected);
        ASSERT_EQ(jobs->Shared.CurrentAccount, 1);
    }

    // Runs click once, from the first pump inside the next timer check (Box2), and records
    // what it changed while the check was still running.
    void ClickDuringTheCheck(const std::function<void()>& click) {
        bool clicked = false;
        pump.onPump = [&] {
            if (clicked || !jobs->Guard.Busy()) {
                return;
            }
            clicked = true;
            connectsAtClick = servers.Connects();
            callsAtClick = view.calls.size();
            click();
            callsAfterClick = view.calls.size();
            connectsAfterClick = servers.Connects();
        };
        jobs->Cycle.TimerTimer();
        pump.onPump = nullptr;
        ASSERT_TRUE(clicked);
    }

    int connectsAtClick = 0;
    int connectsAfterClick = 0;
    std::size_t callsAtClick = 0;
    std::size_t callsAfterClick = 0;
};

TEST_F(BusyGuardTest, SkinChosenDuringACheckIsAppliedAfterIt) {
    ConnectTwo({"playsnd =1", "wavsnd = /sounds/new.wav"});
    jobs->Shared.Config.SkinDir = VORLA_SKINS;
    const std::string before = jobs->Shared.Config.SkinFolder;
    ClickDuringTheCheck([&] { jobs->Menu.SwitchSkinClick("frost"); });

    EXPECT_EQ(callsAfterClick, callsAtClick) << "nothing was redrawn inside the check";
    EXPECT_EQ(view.Count("status Box2 2 messages"), 0) << "no half-checked account shown";
    EXPECT_EQ(jobs->Shared.Config.SkinFolder, std::string(VORLA_SKINS) + "/frost/");
    EXPECT_NE(jobs->Shared.Config.SkinFolder, before);
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[1].LastCount, 5);
    EXPECT_EQ(jobs->Ticker.StatusText, "Box2 5 messages");
    EXPECT_EQ(view.Count("sound /sounds/new.wav"), 2) << "Box1 at connect, Box2 once";
}

TEST_F(BusyGuardTest, MailClickDuringACheckResetsTheAccountItShowsAfterIt) {
    ConnectTwo({"reset =1"});
    mailto.command = "evolution";
    std::size_t startedInCheck = 1;
    ClickDuringTheCheck([&] {
        jobs->MailClient.MAILClick();
        startedInCheck = shell.started.size();
    });
    EXPECT_EQ(startedInCheck, 0u);
    EXPECT_EQ(shell.started, std::vector<std::string>{"evolution"});
    EXPECT_EQ(jobs->Shared.CurrentAccount, 2);
    EXPECT_EQ(jobs->Shared.WaitingCount, 0) << "the reset came after the check's count";
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[1].LastCount, 0);
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, 2);
    EXPECT_EQ(jobs->Ticker.StatusText, "Box2 empty");
}

TEST_F(BusyGuardTest, NewsServerChosenDuringACheckIsLoadedAfterIt) {
    ConnectTwo();
    downloader.urls.clear();
    std::size_t urlsAtClick = 1;
    ClickDuringTheCheck([&] {
        jobs->News.NewsServerClick(0);
        urlsAtClick = downloader.urls.size();
    });
    EXPECT_EQ(urlsAtClick, 0u);
    EXPECT_EQ(downloader.urls.size(), 1u) << "the news reload was not dropped";
}

TEST_F(BusyGuardTest, ClicksDuringACheckWaitTheirTurn) {
    ConnectTwo();
    const int connects = servers.Connects();
    ClickDuringTheCheck([&] {
        jobs->Accounts.RefreshBtnMouseDown({.Left = true});
        jobs->Accounts.RefreshBtnMouseDown({.Left = true});
        jobs->Cycle.TimerTimer();
        jobs->Accounts.MnuClick(1);
    });
    EXPECT_EQ(connectsAfterClick, connectsAtClick) << "no second session inside the check";
    // The timer check, one refresh (the second replaced the first) and the menu's check.
    EXPECT_EQ(servers.Connects(), connects + 3);
    EXPECT_EQ(jobs->Shared.CurrentAccount, 2) << "the menu checked account 2 last";
    EXPECT_EQ(view.calls.back(), "buttons on");
    EXPECT_FALSE(jobs->Guard.Busy());
}

TEST_F(BusyGuardTest, SkinWhoseIniBecameUnreadableIsAFailedSwitch) {
    ConnectTwo();
    namespace fs = std::filesystem;
    const std::string skins = Folder() + "skins";
    fs::create_directories(skins);
    fs::copy(std::string(VORLA_SKINS) + "/default", skins + "/gone", fs::copy_options::recursive);
    jobs->Shared.Config.SkinDir = skins;
    const auto& listed = jobs->Menu.PopMnuPopup().SkinItems;
    ASSERT_EQ(listed, std::vector<std::string>{"gone"});
    fs::remove(skins + "/gone/skin.ini");
    const std::string before = jobs->Shared.Config.SkinFolder;

    EXPECT_NO_THROW(jobs->Menu.SwitchSkinClick("gone"));
    EXPECT_EQ(view.Last("message "), std::string("message ") + skin::kInvalidSkin);
    EXPECT_EQ(view.Count("exit"), 0);
    EXPECT_EQ(jobs->Shared.Config.SkinFolder, before);
    EXPECT_EQ(jobs->Ticker.StatusText, "Box1 2 messages");
}

}  // namespace
}  // namespace monitor::test
