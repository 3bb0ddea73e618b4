#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "SkinTestSupport.h"
#include "skin/BmpFile.h"
#include "skin/LoadSkin.h"
#include "skin/PictureLoader.h"
#include "skin/SkinText.h"
#include "skin/TraiteInt.h"

namespace {

using skin::MainWindowSkin;
using skintest::SkinFolder;

class LoadSkinTest : public ::testing::Test {
protected:
    testsupport::TempFolder dir;
    SkinFolder folder{dir.Folder()};
    testsupport::RecordingDialogs dialogs;
    testsupport::RecordingExit exits;
    settings::FatalSinks sinks{dialogs, exits};
    MainWindowSkin skin;
    std::string failure;
    int redraws = 0;
    std::string settingsFile;

    bool Load() {
        folder.Write();
        return skin::LoadSkin(
            skin, {dir.Folder(), settingsFile}, sinks, true, [this] { ++redraws; }, &failure);
    }
    skin::Bitmap Picture(const std::string& name) {
        return skin::LoadBitmapFile(dir.Folder() + name);
    }
};

TEST_F(LoadSkinTest, AppliesEveryValueOfACompleteSkin) {
    settingsFile = dir.Folder() + "Vorla.ini";
    skintest::WriteFile(
        settingsFile,
        "current_skin = x\r\nposX = 7\r\nposY = 8\r\nmemo_posX = 9\r\nmemo_posY = 10\r\n");
    ASSERT_TRUE(Load()) << failure;
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(skin.Background, Picture("main.bmp"));
    EXPECT_EQ(skin.MsgBackground, Picture("msg.bmp"));
    EXPECT_EQ(skin.Connect.PicOff.Image, Picture("cnx_n.bmp"));
    EXPECT_EQ(skin.Connect.PicOn.Image, Picture("cnx_s.bmp"));
    EXPECT_EQ(skin.MAIL.PicOn.Image, Picture("mail_s.bmp"));
    EXPECT_EQ(skin.Disconnect.Left, 11);
    EXPECT_EQ(skin.RefreshBtn.Left, 21);
    EXPECT_EQ(skin.MAIL.Top, 2);
    EXPECT_EQ(skin.OnlinePath, dir.Folder() + "online.bmp");
    EXPECT_EQ(skin.OfflinePath, dir.Folder() + "offline.bmp");
    EXPECT_EQ(skin.Online.Left, 41);
    EXPECT_EQ(skin.GotMailPath, dir.Folder() + "gotmail.bmp");
    EXPECT_EQ(skin.FLAG.Shown.Image, Picture("nomail.bmp"));
    EXPECT_EQ(skin.FLAG.Left, 51);
    EXPECT_EQ(skin.CountFontPath, dir.Folder() + "digits.bmp");
    EXPECT_EQ(skin.CountCellWidth, 4);
    EXPECT_EQ(skin.NBMSGBMP.Left, 61);
    EXPECT_EQ(skin.StatusFontPath, dir.Folder() + "font.bmp");
    EXPECT_EQ(skin.StatusCellHeight, 5);
    EXPECT_EQ(skin.STATBMP.Top, 20);
    EXPECT_EQ(skin.MaxChar, 20);
    const skin::MsgWindowSkin& msg = skin.MsgWindow;
    EXPECT_EQ(msg.MemoX, 5);
    EXPECT_EQ(msg.MemoHeight, 30);
    EXPECT_EQ(msg.FontColor, 1u + 256u * 2 + 65536u * 3);
    EXPECT_EQ(msg.FontName, "Verdana");
    EXPECT_EQ(msg.FontStyle, "bold");
    EXPECT_EQ(msg.FontSize, 9);
    EXPECT_EQ(msg.Buttons[skin::kExitBtn].NormalPath, dir.Folder() + "close_n.bmp");
    EXPECT_EQ(msg.Buttons[skin::kDeleteBtn].HoverPath, dir.Folder() + "del_s.bmp");
    EXPECT_EQ(msg.Buttons[skin::kNextBtn].X, 11);
    EXPECT_EQ(msg.Buttons[skin::kPrevBtn].Y, 50);
    EXPECT_EQ(msg.PosX, 9);
    EXPECT_EQ(msg.PosY, 10);
    EXPECT_EQ(skin.WindowLeft, 7);
    EXPECT_EQ(skin.WindowTop, 8);
    EXPECT_EQ(skin.WindowWidth, 120);
    EXPECT_EQ(skin.WindowHeight, 40);
    ASSERT_TRUE(skin.WindowRegion.has_value());
    EXPECT_FALSE(skin.WindowRegion->Contains(0, 0));
    EXPECT_FALSE(skin.WindowRegion->Contains(119, 39));
    EXPECT_TRUE(skin.WindowRegion->Contains(1, 0));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LoadSkinTest, WithoutSettingsFileAndRedrawThePositionsTakeTheirDefaults) {
    folder.Write();
    ASSERT_TRUE(skin::LoadSkin(skin, {dir.Folder(), ""}, sinks, false, [this] { ++redraws; }));
    EXPECT_EQ(redraws, 0);
    EXPECT_EQ(skin.WindowLeft, 50);
    EXPECT_EQ(skin.WindowTop, 50);
    EXPECT_EQ(skin.MsgWindow.PosX, 50);
    EXPECT_EQ(skin.MsgWindow.PosY, 100);
}

TEST_F(LoadSkinTest, MissingPosxInTheSettingsFileIsFifty) {
    settingsFile = dir.Folder() + "Vorla.ini";
    skintest::WriteFile(settingsFile, "posY = 3\r\n");
    ASSERT_TRUE(Load()) << failure;
    EXPECT_EQ(skin.WindowLeft, 50);
    EXPECT_EQ(skin.WindowTop, 3);
}

// A skin.ini saved by a Linux editor reads like one written with CR LF.
TEST_F(LoadSkinTest, LineFeedOnlyFileLoadsLikeCrLf) {
    folder.Write("\n");
    EXPECT_TRUE(skin::LoadSkin(skin, {dir.Folder(), ""}, sinks, true, nullptr, &failure))
        << failure;
    EXPECT_EQ(skin.OnlinePath, dir.Folder() + "online.bmp");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LoadSkinTest, NotOnlineListedFirstGivesTheOfflinePictureTwice) {
    std::swap(folder.Lines[21], folder.Lines[22]);
    ASSERT_EQ(folder.Lines[21], "notonlinebmp=offline.bmp");
    ASSERT_TRUE(Load()) << failure;
    EXPECT_EQ(skin.OnlinePath, dir.Folder() + "offline.bmp");
    EXPECT_EQ(skin.OfflinePath, dir.Folder() + "offline.bmp");
}

TEST_F(LoadSkinTest, ALineHoldingALongerKeyWinsWhenItComesFirst) {
    folder.Lines.insert(folder.Lines.begin() + 2, "msgbkng=main_msg.bmp");
    skin::WriteBmp(skintest::TaggedBitmap(30, 20, 9), dir.Folder() + "main_msg.bmp");
    ASSERT_TRUE(Load()) << failure;
    EXPECT_EQ(skin.Background, Picture("main_msg.bmp"));
    EXPECT_EQ(skin.MsgBackground, Picture("main_msg.bmp"));
}

TEST_F(LoadSkinTest, SizeWithOneNumberKeepsTheCellHeight) {
    folder.Replace("size=4,5", "size=8");
    skin.CountCellHeight = 77;
    ASSERT_TRUE(Load()) << failure;
    EXPECT_EQ(skin.CountCellWidth, 8);
    EXPECT_EQ(skin.CountCellHeight, 77);
}

TEST_F(LoadSkinTest, PositionWithOneNumberKeepsTheElementsTop) {
    folder.Replace("position=41,2", "position=44");
    skin.Online.Top = 13;
    ASSERT_TRUE(Load()) << failure;
    EXPECT_EQ(skin.Online.Left, 44);
    EXPECT_EQ(skin.Online.Top, 13);
}

TEST_F(LoadSkinTest, MissingSizeInStatusTakesALaterLineHoldingSize) {
    folder.Remove("size=4,5");
    folder.Remove("size=4,5");
    ASSERT_TRUE(Load()) << failure;
    EXPECT_EQ(skin.StatusCellWidth, 9);  // "fontsize=9" in [memo_msgwindow]
    EXPECT_EQ(skin.CountCellWidth, 9);
}

TEST_F(LoadSkinTest, BlankBeforeTheCommaFailsAndKeepsWhatWasApplied) {
    folder.Replace("position=1,2", "position=12 ,30");
    EXPECT_FALSE(Load());
    EXPECT_NE(failure.find("12 ,30"), std::string::npos) << failure;
    EXPECT_EQ(skin.Background, Picture("main.bmp"));
    EXPECT_EQ(skin.Connect.PicOn.Image, Picture("cnx_s.bmp"));
    EXPECT_TRUE(skin.Disconnect.PicOff.Empty());
    EXPECT_EQ(redraws, 0);
}

TEST_F(LoadSkinTest, MaxCharZeroOrMissingMeans128) {
    folder.Replace("maxchar=", "maxchar=0");
    ASSERT_TRUE(Load()) << failure;
    EXPECT_EQ(skin.MaxChar, 128);
    skin.MaxChar = 5;
    folder.Remove("maxchar=");
    ASSERT_TRUE(Load()) << failure;
    EXPECT_EQ(skin.MaxChar, 128);
}

TEST_F(LoadSkinTest, MemoValuesWithTwoNumbersTakeTheSecond) {
    folder.Replace("memo_x=", "memo_x=10,20");
    folder.Replace("fontcolor=", "fontcolor=255,0,0");
    folder.Replace("fontstyle=", "fontstyle=Bold Italic");
    ASSERT_TRUE(Load()) << failure;
    EXPECT_EQ(skin.MsgWindow.MemoX, 20);
    EXPECT_EQ(skin.MsgWindow.FontColor, 255u);
    EXPECT_TRUE(skin::IsBoldStyle(skin.MsgWindow.FontStyle));
    EXPECT_TRUE(skin::IsItalicStyle(skin.MsgWindow.FontStyle));
}

TEST_F(LoadSkinTest, MissingMemoValuesTakeTheirDefaults) {
    for (const char* key : {"memo_x=", "fontcolor=", "fontname=", "fontstyle=", "fontsize="}) {
        folder.Remove(key);
    }
    ASSERT_TRUE(Load()) << failure;
    EXPECT_EQ(skin.MsgWindow.MemoX, 0);
    EXPECT_EQ(skin.MsgWindow.FontColor, 0u);
    EXPECT_EQ(skin.MsgWindow.FontName, "arial");
    EXPECT_EQ(skin.MsgWindow.FontStyle, "empty");
    EXPECT_FALSE(skin::IsBoldStyle(skin.MsgWindow.FontStyle));
    EXPECT_EQ(skin.MsgWindow.FontSize, 7);
}

TEST_F(LoadSkinTest, CommentLineInBackgroundIsSkipped) {
    folder.Lines.insert(folder.Lines.begin() + 2, ";main=nothing_here.bmp");
    ASSERT_TRUE(Load()) << failure;
    EXPECT_EQ(skin.Background, Picture("main.bmp"));
}

TEST_F(LoadSkinTest, BackslashesAndOtherLetterCaseFindTheFile) {
    std::filesystem::create_directory(dir.Folder() + "Pics");
    skin::WriteBmp(skintest::TaggedBitmap(3, 3, 8), dir.Folder() + "Pics/Main.bmp");
    folder.Replace("main=", "main=pics\\MAIN.BMP");
    ASSERT_TRUE(Load()) << failure;
    EXPECT_EQ(skin.Background, skintest::TaggedBitmap(3, 3, 8));
}

TEST_F(LoadSkinTest, AFontChangedOnDiskShowsFromTheNextLoadOn) {
    ASSERT_TRUE(Load()) << failure;
    skin::FontCache fonts;
    const skin::Bitmap first = fonts.Font(skin.StatusFontPath, skin.Loads);
    ASSERT_FALSE(first.Empty());
    skin::WriteBmp(skintest::TaggedBitmap(8, 8, 9), skin.StatusFontPath);
    EXPECT_EQ(fonts.Font(skin.StatusFontPath, skin.Loads), first);
    ASSERT_TRUE(skin::LoadSkin(skin, {dir.Folder(), ""}, sinks, false, nullptr));
    EXPECT_EQ(fonts.Font(skin.StatusFontPath, skin.Loads), skintest::TaggedBitmap(8, 8, 9));
}

TEST_F(LoadSkinTest, MissingOrUndecodablePictureFailsTheLoad) {
    folder.Remove("nomail=");
    EXPECT_FALSE(Load());
    EXPECT_NE(failure.find("empty"), std::string::npos) << failure;
    folder.Lines.push_back("nomail=logo.wmf");
    skintest::WriteFile(dir.Folder() + "logo.wmf", "x");
    EXPECT_FALSE(Load());
    EXPECT_NE(failure.find("metafile"), std::string::npos) << failure;
}

TEST_F(LoadSkinTest, MissingMsgBackgroundEndsTheProgram) {
    folder.Remove("msgbkng=");
    EXPECT_THROW(Load(), settings::FatalSettingsError);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
              "-Err :  Invalid SKIN.INI, check the bitmaps.[Background], MsgBkgnd=");
    EXPECT_EQ(exits.requests, 1);
}

TEST_F(LoadSkinTest, MissingSkinFolderEndsTheProgram) {
    EXPECT_THROW(skin::LoadSkin(skin, {dir.Folder() + "gone/", ""}, sinks, true, nullptr),
                 settings::FatalSettingsError);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], settings::kVorlaIniNotFound);
    EXPECT_EQ(exits.requests, 1);
}

// A skin reads only regular files of its own folder: "..", a link leading out and a FIFO (which
// would block start-up at every launch) fail the load; a link inside the folder still works.
TEST(LoadSkinFiles, OnlyRegularFilesInsideTheSkinFolderAreRead) {
    struct Row {
        const char* name;
        const char* key;
        const char* line;
        const char* failure;  // nullptr: the load succeeds
    };
    const Row rows[] = {
        {"parent folder", "nomail=", "nomail=../outside.bmp", "outside the skin folder"},
        {"parent folder, stored path", "onlinebmp=", "onlinebmp=pics/../../outside.bmp",
         "outside the skin folder"},
        {"link leading out", "cnxbtnnormal=", "cnxbtnnormal=out.bmp", "outside the skin folder"},
        {"FIFO", "cnxbtnselect=", "cnxbtnselect=fifo.bmp", "not a regular file"},
        {"link inside the folder", "nomail=", "nomail=in.bmp", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testsupport::TempFolder root;
        const std::string folder = root.Folder() + "skin/";
        std::filesystem::create_directories(folder + "pics");
        SkinFolder skinFolder(folder);
        skin::WriteBmp(skintest::TaggedBitmap(3, 3, 7), root.Folder() + "outside.bmp");
        std::filesystem::create_symlink(root.Folder() + "outside.bmp", folder + "out.bmp");
        std::filesystem::create_symlink("nomail.bmp", folder + "in.bmp");
        ASSERT_EQ(::mkfifo((folder + "fifo.bmp").c_str(), 0600), 0);
        skinFolder.Replace(row.key, row.line);
        skinFolder.Write();
        testsupport::RecordingDialogs dialogs;
        testsupport::RecordingExit exits;
        MainWindowSkin skin;
        std::string failure;
        const bool loaded =
            skin::LoadSkin(skin, {folder, ""}, {dialogs, exits}, false, nullptr, &failure);
        if (row.failure == nullptr) {
            EXPECT_TRUE(loaded) << failure;
        } else {
            EXPECT_FALSE(loaded);
            EXPECT_NE(failure.find(row.failure), std::string::npos) << failure;
        }
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

// A skin.ini that is a FIFO is as unusable as a missing one, and does not block.
TEST(LoadSkinFiles, SkinIniThatIsAFifoEndsTheProgram) {
    testsupport::TempFolder root;
    ASSERT_EQ(::mkfifo(root.File("skin.ini").c_str(), 0600), 0);
    testsupport::RecordingDialogs dialogs;
    testsupport::RecordingExit exits;
    MainWindowSkin skin;
    EXPECT_THROW(skin::LoadSkin(skin, {root.Folder(), ""}, {dialogs, exits}, false, nullptr),
                 settings::FatalSettingsError);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], settings::kVorlaIniNotFound);
}

TEST(TraiteInt, ParsesEmptyOneOrTwoNumbers) {
    struct Row {
        const char* value;
        bool ok;
        int first;
        int second;
    };
    const Row rows[] = {
        {"empty", true, 0, 0},     {"", true, 0, 0},        {"8", true, 8, -1},
        {"12,30", true, 12, 30},   {" -4, 5", true, -4, 5}, {"$1F,0x10", true, 31, 16},
        {"12 ,30", false, -1, -1}, {"1,2,3", false, 1, -1}, {"a", false, -1, -1},
        {"5,", false, 5, -1},      {"3 ", false, -1, -1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        int first = -1;
        int second = -1;
        EXPECT_EQ(skin::TraiteInt(row.value, first, second), row.ok);
        EXPECT_EQ(first, row.first);
        EXPECT_EQ(second, row.second);
    }
}

TEST(ParseFontColor, ReadsRedGreenBlue) {
    struct Row {
        const char* value;
        bool ok;
        std::uint32_t colour;
    };
    const Row rows[] = {{"empty", true, 0},
                        {"255,0,0", true, 255},
                        {" 0 , 255, 0 ", true, 65280},
                        {"0,255 ,0", false, 0},
                        {"0, 255,  16 ", true, 255u * 256 + 16u * 65536},
                        {"255,0", false, 0},
                        {"red", false, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        std::uint32_t colour = 0;
        EXPECT_EQ(skin::ParseFontColor(row.value, colour), row.ok);
        if (row.ok) {
            EXPECT_EQ(colour, row.colour);
        }
    }
}

TEST(ClampMsgWindowPosition, OffScreenCoordinatesBecomeZero) {
    int x = 1300;
    int y = -1;
    skin::ClampMsgWindowPosition(x, y, 1280, 1024);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    x = 1280;
    y = 1024;
    skin::ClampMsgWindowPosition(x, y, 1280, 1024);
    EXPECT_EQ(x, 1280);
    EXPECT_EQ(y, 1024);
}

}  // namespace
