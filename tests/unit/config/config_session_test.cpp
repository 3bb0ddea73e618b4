#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ConfigTestSupport.h"

namespace config::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

// The main window's side of "Configure"; the user's actions run while the dialog is shown.
class RecordingOwner final : public ConfigOwner {
public:
    void StopTimers() override { log.push_back("stop"); }
    void StartTimers() override { log.push_back("start"); }
    std::vector<std::string> DialUpEntries() override { return {}; }
    std::vector<std::string> NewsServers() override {
        return {"one | w | d | n", "two | w | d | n"};
    }
    void ShowModal(TConfig& dialog) override {
        log.push_back("show " + dialog.Controls["MenuBtn"].Text);
        if (user) {
            user(dialog);
        }
    }
    void ApplyTickerSpeed(int speed) override { log.push_back("speed " + std::to_string(speed)); }
    void ApplyCheckInterval(int minutes) override {
        log.push_back("interval " + std::to_string(minutes));
    }
    void SaveConfig() override { log.push_back("save"); }
    void LitVrNews() override { log.push_back("news"); }
    void AfficheTray(bool) override { log.push_back("tray"); }
    void SetAutorun() override { log.push_back("autorun"); }
    void ShowMailState() override { log.push_back("redraw"); }
    void AccountsChanged() override { log.push_back("accounts"); }

    std::function<void(TConfig&)> user;
    std::vector<std::string> log;
};

class ConfigSessionTest : public ConfigTest {
protected:
    RecordingOwner owner;
};

TEST_F(ConfigSessionTest, FastThenCloseKeepsTheSpeedAndOkAppliesIt) {
    owner.user = [](TConfig& d) {
        d.MnuClick(2);
        d.Choose("ScrollSpeed", 2);
        d.Click("Cancel");
    };
    Config1Click(owner, *dialog);
    EXPECT_EQ(settings.speed, 0);
    EXPECT_THAT(owner.log, ElementsAre("stop", "show Main Options", "redraw", "start"));

    owner.log.clear();
    owner.user = [](TConfig& d) {
        d.Choose("ScrollSpeed", 2);
        d.Click("OK");
    };
    Config1Click(owner, *dialog);
    EXPECT_EQ(settings.speed, 2);
    EXPECT_THAT(owner.log, ElementsAre("stop", "show Main Options", "speed 2", "interval 1", "save",
                                       "accounts", "tray", "redraw", "start"));
}

TEST_F(ConfigSessionTest, EveryShowingStartsOnMainOptions) {
    owner.user = [](TConfig& d) { d.MnuClick(3); };
    Config1Click(owner, *dialog);
    EXPECT_TRUE(dialog->Controls["SkinPan"].Visible);
    Config1Click(owner, *dialog);
    EXPECT_THAT(owner.log, Contains("show Main Options").Times(2));
    owner.user = nullptr;
    Config1Click(owner, *dialog);
    EXPECT_TRUE(dialog->Controls["OptPan"].Visible);
    EXPECT_FALSE(dialog->Controls["SkinPan"].Visible);
}

TEST_F(ConfigSessionTest, ASkinChosenThenClosedIsUndoneAndKeptOnOk) {
    const std::string original = settings.SkinFolder;
    const std::string other = MakeSkin("other");
    owner.user = [&](TConfig& d) {
        d.MnuClick(3);
        files.answers = {other + "skin.ini"};
        d.Click("Browse");
        EXPECT_EQ(settings.SkinFolder, other);
    };
    Config1Click(owner, *dialog);  // the input ends: it counts as Close
    EXPECT_EQ(settings.SkinFolder, original);
    EXPECT_THAT(skinHost.loaded, ElementsAre(other, original));

    owner.user = [&](TConfig& d) {
        files.answers = {other + "skin.ini"};
        d.Click("Browse");
        d.Click("OK");
    };
    Config1Click(owner, *dialog);
    EXPECT_EQ(settings.SkinFolder, other);
    EXPECT_THAT(owner.log, Contains("save"));
}

TEST_F(ConfigSessionTest, TheNewsAreReloadedOnlyWhenTheServerChanged) {
    owner.user = [](TConfig& d) { d.Click("OK"); };
    Config1Click(owner, *dialog);
    EXPECT_THAT(owner.log, Not(Contains("news")));
    owner.user = [](TConfig& d) {
        d.Choose("LstSrv", 1);
        d.Click("OK");
    };
    Config1Click(owner, *dialog);
    EXPECT_THAT(owner.log, Contains("news"));
}

TEST_F(ConfigSessionTest, TheTimersRestartWhenTheDialogFails) {
    owner.user = [](TConfig&) { throw std::runtime_error("broken"); };
    EXPECT_THROW(Config1Click(owner, *dialog), std::runtime_error);
    EXPECT_EQ(owner.log.back(), "start");
}

}  // namespace
}  // namespace config::test
