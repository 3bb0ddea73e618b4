#include "MonitorFakes.h"

namespace monitor::test {
namespace {

namespace fs = std::filesystem;

class PopupMenuTest : public MonitorTest {
protected:
    void MakeSkin(const std::string& name, bool withIni = true,
                  const std::string& iniName = "skin.ini") {
        fs::create_directories(Folder() + "skins/" + name);
        if (withIni) {
            std::ofstream(Folder() + "skins/" + name + "/" + iniName) << "[background]\r\n";
        }
    }
};

TEST_F(PopupMenuTest, SkinsAreListedSortedIgnoringCase) {
    ASSERT_TRUE(Start({}));
    EXPECT_TRUE(jobs->Menu.PopMnuPopup().SkinItems.empty()) << "no skin folder yet";
    for (const char* name : {"Zebra", "apple", "Blue"}) {
        MakeSkin(name);
    }
    MakeSkin("NoIni", false);
    MakeSkin("Shouting", true, "SKIN.INI");
    std::ofstream(Folder() + "skins/loose-file") << "x";
    EXPECT_EQ(jobs->Menu.PopMnuPopup().SkinItems,
              (std::vector<std::string>{"apple", "Blue", "Shouting", "Zebra"}));
    MakeSkin("cyan");
    EXPECT_EQ(jobs->Menu.PopMnuPopup().SkinItems,
              (std::vector<std::string>{"apple", "Blue", "cyan", "Shouting", "Zebra"}));
}

TEST_F(PopupMenuTest, BrokenSkinRevertsToThePreviousOne) {
    ASSERT_TRUE(Start({}, {"skin_dir = " + Folder() + "skins"}));
    MakeSkin("Broken");
    view.visible = false;
    view.calls.clear();
    jobs->Menu.SwitchSkinClick("Broken");
    EXPECT_EQ(jobs->Shared.Config.SkinFolder, VORLA_SKINS "/default/");
    EXPECT_EQ(view.Last("message "), "message -Err :  Invalid SKIN.INI, check the bitmaps.");
    EXPECT_EQ(view.Count("skin"), 1) << "the previous skin loaded again";
    EXPECT_EQ(view.calls.back(), "show");

    jobs->Shared.Config.SkinDir = VORLA_SKINS;
    jobs->Menu.SwitchSkinClick("frost");
    EXPECT_EQ(jobs->Shared.Config.SkinFolder, VORLA_SKINS "/frost/");
}

TEST_F(PopupMenuTest, OnTopHelpAndGallery) {
    ASSERT_TRUE(Start({}, {"ontop =1"}));
    EXPECT_EQ(view.With("ontop ").front(), "ontop 1");
    jobs->Menu.OnTopClick();
    EXPECT_FALSE(jobs->Menu.PopMnuPopup().OnTopChecked);
    EXPECT_EQ(view.Last("ontop "), "ontop 0");
    jobs->Menu.AideClick();
    jobs->Menu.OtherSkinClick();
    EXPECT_EQ(shell.opened,
              (std::vector<std::string>{Folder() + "vrhelp.html", "http://" VORLA_NEWS_HOST_FOR_TEST
                                                                  "/Vorla/skins/welcome.htm"}));
}

}  // namespace
}  // namespace monitor::test
