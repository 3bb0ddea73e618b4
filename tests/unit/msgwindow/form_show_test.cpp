// FormShow: the window's place, the memo's font and the buttons' pictures from the skin.
#include <gtest/gtest.h>

#include "MsgListFixture.h"
#include "skin/PictureLoader.h"

namespace msgwindow::test {
namespace {

class FormShowTest : public MsgListTest {
protected:
    FormShowTest() {
        const std::string folder = VORLA_SKINS "/default/";
        skin.MsgBackground = skin::LoadSkinBitmap(folder + "msgwin.bmp");
        static const char* const kNames[] = {"prev", "next", "reply", "delete", "close"};
        for (int i = 0; i < skin::kMsgButtonCount; ++i) {
            auto& button = skin.MsgWindow.Buttons[static_cast<std::size_t>(i)];
            button.NormalPath = folder + "msg_" + kNames[i] + ".bmp";
            button.HoverPath = folder + "msg_" + kNames[i] + "_hover.bmp";
            button.X = 10 * i;
            button.Y = 245;
        }
        skin.MsgWindow.FontStyle = "Bold Italic";
    }
    skin::MainWindowSkin skin;
};

TEST_F(FormShowTest, PlacesTheWindowOnScreenAndLoadsTheButtons) {
    state.Config.memo_posx = -4;
    state.Config.memo_posy = 900;
    state.Config.ontop = true;
    state.CurrentAccount = monitor::kNoAccountYet;
    const MsgWindowPlacement placement = list.FormShow(skin, 1024, 768);
    EXPECT_EQ(placement.Left, 0);
    EXPECT_EQ(placement.Top, 0);
    EXPECT_EQ(placement.Width, skin.MsgBackground.Width());
    EXPECT_EQ(placement.Height, skin.MsgBackground.Height());
    EXPECT_TRUE(placement.Shape.has_value());
    EXPECT_TRUE(placement.Bold);
    EXPECT_TRUE(placement.Italic);
    EXPECT_TRUE(placement.TopMost);
    EXPECT_EQ(list.IdentityAccount, 1);
    EXPECT_FALSE(view.panelVisible);
    EXPECT_EQ(list.Buttons[skin::kExitBtn].Left, 40);
    EXPECT_GT(list.Buttons[skin::kExitBtn].PicOn.Width(), 0);
    EXPECT_EQ(list.Buttons[skin::kExitBtn].Hint, "Close");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(memo.readOnly) << "a message is read, not edited";
    state.NotepadMode = true;
    list.FormShow(skin, 1024, 768);
    EXPECT_FALSE(memo.readOnly);
}

TEST(BesideMainWindow, RightOfItOrLeftOfItAndAlwaysOnTheScreen) {
    const struct {
        const char* name;
        WindowBox main;
        int left, top;
    } rows[] = {
        {"right", {100, 50, 200, 100}, 300, 50},
        {"left when the right has no room", {700, 50, 200, 100}, 300, 50},
        {"no room on either side", {100, 50, 800, 100}, 624, 50},
        {"not below the screen", {100, 600, 200, 100}, 300, 488},
        {"not above it", {100, -20, 200, 100}, 300, 0},
    };
    for (const auto& row : rows) {
        const WindowBox box = BesideMainWindow(row.main, 400, 280, 1024, 768);
        EXPECT_EQ(box.Left, row.left) << row.name;
        EXPECT_EQ(box.Top, row.top) << row.name;
    }
}

TEST_F(FormShowTest, WithoutASavedPlaceItOpensBesideTheMainWindow) {
    skin.Background = skin::LoadSkinBitmap(VORLA_SKINS "/default/main.bmp");
    state.Config.memo_pos_saved = false;
    mainWindow.place = {120, 80};
    const MsgWindowPlacement placement = list.FormShow(skin, 1920, 1080);
    EXPECT_EQ(placement.Left, 120 + skin.Background.Width());
    EXPECT_EQ(placement.Top, 80);
    view.left = placement.Left + 5;
    list.CloseMsgClick();
    EXPECT_TRUE(state.Config.memo_pos_saved) << "closed, it has a place of its own";
    EXPECT_EQ(list.FormShow(skin, 1920, 1080).Left, placement.Left + 5);
}

TEST_F(FormShowTest, ABadPictureShowsOneBoxAndLeavesTheRestAsTheyWere) {
    skin.MsgWindow.Buttons[skin::kReplyBtn].HoverPath = VORLA_SKINS "/default/missing.bmp";
    state.Config.memo_posx = 120;
    const MsgWindowPlacement placement = list.FormShow(skin, 1024, 768);
    EXPECT_EQ(placement.Left, 120);
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"-Err :  Invalid SKIN.INI, check the bitmaps."});
    EXPECT_GT(list.Buttons[skin::kNextBtn].PicOff.Width(), 0);
    EXPECT_EQ(list.Buttons[skin::kDeleteBtn].PicOff.Width(), 0);
    EXPECT_EQ(list.Buttons[skin::kDeleteBtn].Left, 0);
}

}  // namespace
}  // namespace msgwindow::test
