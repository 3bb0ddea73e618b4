#include "MonitorFakes.h"

namespace monitor::test {
namespace {

class StartupTest : public MonitorTest {
protected:
    std::string ReadIni() const { return ReadFile("Vorla.ini"); }
};

TEST_F(StartupTest, MissingSettingsEndTheProgramWithoutWriting) {
    EXPECT_FALSE(vorla->FormCreate());
    EXPECT_EQ(view.With("message "),
              std::vector<std::string>{
                  "message -Err : VORLA.INI path not found\rSection : current_skin = "});
    EXPECT_EQ(view.Count("exit"), 1);
    EXPECT_FALSE(std::filesystem::exists(Folder() + "Vorla.ini"));
}

TEST_F(StartupTest, UnusableSkinEndsTheProgram) {
    WriteFile("Vorla.ini", "current_skin = " + Folder() + "noskin\r\n");
    EXPECT_FALSE(vorla->FormCreate());
    EXPECT_EQ(view.Count("exit"), 1);
    EXPECT_EQ(view.With("message ").size(), 1u);
}

TEST_F(StartupTest, AutoconnectWithAnUnreachableServerComesUpDisconnected) {
    ASSERT_TRUE(Start({{"Box", "down.test"}}, {"autoconnect =1", "icon_tray =1"}));
    EXPECT_FALSE(jobs->Shared.IsConnected);
    EXPECT_EQ(jobs->Shared.ErrorNotice(), "Box  " + kRefused);
    EXPECT_EQ(jobs->Ticker.StatusText, "Disconnected");
    EXPECT_EQ(view.calls.back(), "tray-add disconnected");
    EXPECT_TRUE(jobs->Ticker.Scroll.Enabled()) << "the ticker runs until the first paint";
    EXPECT_EQ(dialUp.log, std::vector<std::string>{"refresh"});
}

TEST_F(StartupTest, FirstStartWithoutAccountSaysWhereToSetOneUp) {
    ASSERT_TRUE(Start({}, {}));
    EXPECT_EQ(jobs->Shared.ErrorNotice(),
              "No account: right-click, Configure, Incoming Mails, Find settings");
    EXPECT_EQ(view.With("message "), std::vector<std::string>{}) << "nothing opens by itself";
}

TEST_F(StartupTest, GoingOnLineCanWaitUntilTheWindowIsUp) {
    WriteSettings({{"Box", "pop.test"}}, {"autoconnect =1"});
    Box("pop.test").Fill(1);
    ASSERT_TRUE(vorla->FormCreate(false));
    EXPECT_EQ(servers.log, std::vector<std::string>{});
    EXPECT_FALSE(jobs->Shared.IsConnected);
    EXPECT_TRUE(jobs->Ticker.Scroll.Enabled());
    vorla->GoOnLine();
    EXPECT_TRUE(jobs->Shared.IsConnected);
    EXPECT_FALSE(servers.log.empty());
}

TEST_F(StartupTest, HiddenStartHidesAtTheFirstPaintAndShowsOnMail) {
    ASSERT_TRUE(Start({{"Box", "pop.test"}}, {"hidden =1"}));
    vorla->FirstPaint();
    EXPECT_FALSE(view.visible);
    EXPECT_FALSE(jobs->Ticker.Scroll.Enabled());
    jobs->Timers.StartTimers();
    EXPECT_FALSE(jobs->Ticker.Scroll.Enabled()) << "hidden after the first paint";
    Box("pop.test").Fill(1);
    jobs->Cycle.ConnectClick();
    EXPECT_TRUE(view.visible);
}

TEST_F(StartupTest, TrayClicksHideAndShowTheWindow) {
    ASSERT_TRUE(Start({}));
    vorla->TrayCallback(TrayEvent::LeftDown);
    EXPECT_FALSE(view.visible);
    EXPECT_FALSE(jobs->Ticker.Scroll.Enabled());
    vorla->TrayCallback(TrayEvent::LeftDown);
    EXPECT_TRUE(view.visible);
    EXPECT_TRUE(jobs->Ticker.Scroll.Enabled());
    vorla->TrayCallback(TrayEvent::RightDown);
    EXPECT_EQ(view.calls.back(), "main-menu");
}

TEST_F(StartupTest, ShutDownSavesPositionThenRemovesTheTrayIcon) {
    ASSERT_TRUE(Start({{"Box", "pop.test"}}, {"icon_tray =1"}));
    Box("pop.test").Fill(1);
    jobs->Cycle.ConnectClick();
    servers.log.clear();
    vorla->Exit1Click();
    EXPECT_EQ(servers.log, std::vector<std::string>{}) << "the check already quit its session";
    const std::string ini = ReadIni();
    EXPECT_NE(ini.find("posX = 120\r\n"), std::string::npos);
    EXPECT_NE(ini.find("icon_tray =1\r\n"), std::string::npos) << "saved before it is switched off";
    EXPECT_EQ(view.calls.back(), "close");
    EXPECT_EQ(view.calls.at(view.calls.size() - 2), "tray-remove");
}

TEST_F(StartupTest, ExitDuringACheckLeavesTheSessionToTheCheck) {
    ASSERT_TRUE(Start({{"Box", "pop.test"}}));
    Box("pop.test").Fill(2);
    jobs->Cycle.ConnectClick();
    servers.log.clear();
    bool exited = false;
    pump.onPump = [&] {
        if (!exited && jobs->Guard.Busy() && pop.Connected()) {
            exited = true;
            vorla->Exit1Click();
        }
    };
    jobs->Cycle.TimerTimer();
    pump.onPump = nullptr;
    ASSERT_TRUE(exited);
    EXPECT_EQ(servers.log, (std::vector<std::string>{"connect pop.test:110", "USER user1",
                                                     "PASS ****", "STAT", "LAST", "QUIT"}));
    EXPECT_EQ(jobs->Shared.ErrorNotice(), "");
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, 2);
    EXPECT_EQ(view.Count("close"), 1);
}

TEST_F(StartupTest, ShutDownWithoutSavingLeavesTheSettingsAlone) {
    ASSERT_TRUE(Start({}));
    const std::string before = ReadIni();
    vorla->SetSaveOnShutDown(false);
    vorla->ShutDown();
    EXPECT_EQ(ReadIni(), before);
}

TEST_F(StartupTest, AutorunEntryFollowsTheSetting) {
    ASSERT_TRUE(Start({}));
    jobs->Shared.Config.autorun = true;
    vorla->SetAutorun();
    jobs->Shared.Config.autorun = false;
    vorla->SetAutorun();
    EXPECT_EQ(autorun.log, (std::vector<std::string>{"enable " + Folder() + "vorla", "disable"}));
}

}  // namespace
}  // namespace monitor::test
