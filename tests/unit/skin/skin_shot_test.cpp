#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "skin/BmpFile.h"
#include "skin/LoadSkin.h"
#include "skin/SkinError.h"
#include "skin/SkinShot.h"

namespace {

using skin::KeyColour;
using skin::Rgb;

class SkinShotTest : public ::testing::Test {
protected:
    testsupport::TempFolder dir;
    skintest::SkinFolder folder{dir.Folder()};
    testsupport::RecordingDialogs dialogs;
    testsupport::RecordingExit exits;
    skin::MainWindowSkin skin;
    skin::FontCache fonts;

    void Load() {
        folder.Write();
        ASSERT_TRUE(skin::LoadSkin(skin, {dir.Folder(), ""}, {dialogs, exits}, false, nullptr));
    }
};

TEST_F(SkinShotTest, MainWindowShowsEveryElementWhereTheSkinPlacesIt) {
    skin::Bitmap online(8, 6, Rgb(0, 200, 0));
    online.Set(0, 5, Rgb(9, 9, 9));
    online.Set(3, 3, Rgb(9, 9, 9));
    skin::WriteBmp(online, dir.Folder() + "online.bmp");
    skin::Bitmap nomail(8, 6, Rgb(21, 21, 0));
    nomail.Set(0, 5, Rgb(1, 1, 1));
    skin::WriteBmp(nomail, dir.Folder() + "nomail.bmp");
    Load();
    skin::MainShotOptions options;
    options.Online = true;
    options.Count = "12";
    const skin::Bitmap window = skin::RenderMainWindow(skin, fonts, options);
    ASSERT_EQ(window.Width(), 120);
    ASSERT_EQ(window.Height(), 40);
    EXPECT_EQ(window.At(0, 0), KeyColour);
    EXPECT_EQ(window.At(119, 39), KeyColour);
    EXPECT_EQ(window.At(1, 2), Rgb(10, 10, 0));               // Connect's normal picture at 1,2
    EXPECT_EQ(window.At(11, 2), Rgb(12, 12, 0));              // Disconnect's
    EXPECT_EQ(window.At(41, 2), Rgb(0, 200, 0));              // Online at 41,2
    EXPECT_EQ(window.At(44, 5), skintest::Tagged(44, 5, 1));  // its bottom-left colour
    EXPECT_EQ(window.At(41, 7), skintest::Tagged(41, 7, 1));
    EXPECT_EQ(window.At(51, 2), Rgb(21, 21, 0));              // FLAG shows "nomail"
    EXPECT_EQ(window.At(62, 2), skintest::Tagged(4, 0, 4));   // digit 1 of the count
    EXPECT_EQ(window.At(61, 2), skintest::Tagged(61, 2, 1));  // first column stays background
    EXPECT_EQ(window.At(3, 20), skintest::Tagged(3 * 4 + 0, 0, 3));  // "D" of "Disconnected"
}

TEST_F(SkinShotTest, MessageWindowShowsItsFiveButtons) {
    Load();
    const skin::Bitmap window = skin::RenderMsgWindow(skin);
    ASSERT_EQ(window.Width(), 90);
    EXPECT_EQ(window.At(1, 50), Rgb(22, 22, 0));   // prev_n
    EXPECT_EQ(window.At(41, 50), Rgb(30, 30, 0));  // close_n
    EXPECT_EQ(window.At(0, 0), skintest::Tagged(0, 0, 2));
}

TEST_F(SkinShotTest, AnUnloadableStatePictureIsReported) {
    folder.Replace("gotmail=", "gotmail=missing.gif");
    Load();
    skin::MainShotOptions options;
    options.Mail = true;
    EXPECT_THROW(skin::RenderMainWindow(skin, fonts, options), skin::SkinError);
}

}  // namespace
