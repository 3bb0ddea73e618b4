#pragma once
// What a skin gives the two windows: pictures, places, fonts and the message window's layout.
#include <array>
#include <optional>
#include <string>

#include "skin/Bitmap.h"
#include "skin/ImgBtn.h"
#include "skin/Region.h"

namespace skin {

// The texts that a skin fault shows before the program ends or the skin is restored.
inline constexpr const char* kInvalidSkin = "-Err :  Invalid SKIN.INI, check the bitmaps.";
inline constexpr const char* kMsgBkgndMissing =
    "-Err :  Invalid SKIN.INI, check the bitmaps.[Background], MsgBkgnd=";
inline constexpr const char* kMailPictureFailed =
    "-Err :  Invalid SKIN.INI, check the bitmaps.[youhavemail]";
inline constexpr const char* kOnlinePictureFailed =
    "-Err :  Invalid SKIN.INI, check the bitmaps.[Online]";

// An image of the main window: its place and what it shows.
struct SkinImage {
    int Left = 0;
    int Top = 0;
    Picture Shown;
    std::string Hint;
    bool HandCursor = false;
};

// One of the message window's buttons as the skin names it; the pictures are loaded each time
// the window is shown.
struct MsgButtonSkin {
    std::string NormalPath;
    std::string HoverPath;
    int X = 0;
    int Y = 0;
};

enum MsgButton { kPrevBtn, kNextBtn, kReplyBtn, kDeleteBtn, kExitBtn, kMsgButtonCount };

struct MsgWindowSkin {
    int MemoX = 0;
    int MemoY = 0;
    int MemoWidth = 0;
    int MemoHeight = 0;
    std::uint32_t FontColor = 0;  // red + 256 x green + 65536 x blue
    std::string FontName = "arial";
    std::string FontStyle = "empty";  // as read; see IsBoldStyle / IsItalicStyle
    int FontSize = 7;
    std::array<MsgButtonSkin, kMsgButtonCount> Buttons{};
    int PosX = 50;  // settings memo_posx
    int PosY = 100;
    bool PosSaved = false;  // both were in the settings
};

bool IsBoldStyle(const std::string& style);
bool IsItalicStyle(const std::string& style);

// The message window's place: a coordinate off the screen (negative or past its size) is 0.
void ClampMsgWindowPosition(int& x, int& y, int screenWidth, int screenHeight);

// The main window's skin state (the values TVorla holds after a load) and its geometry.
struct MainWindowSkin {
    MainWindowSkin();

    Bitmap Background;     // "main"
    Bitmap MsgBackground;  // "msgbkng"
    TImgBtn Connect;
    TImgBtn Disconnect;
    TImgBtn RefreshBtn;
    TImgBtn MAIL;
    std::string OnlinePath;
    std::string OfflinePath;
    SkinImage Online;
    std::string GotMailPath;
    std::string NoMailPath;
    SkinImage FLAG;
    std::string CountFontPath;
    int CountCellWidth = 0;
    int CountCellHeight = 0;
    SkinImage NBMSGBMP;
    std::string StatusFontPath;
    int StatusCellWidth = 0;
    int StatusCellHeight = 0;
    SkinImage STATBMP;
    int MaxChar = 128;
    MsgWindowSkin MsgWindow;

    // How many loads have begun: fonts decoded for drawing are kept until this changes.
    unsigned Loads = 0;

    int WindowLeft = 0;
    int WindowTop = 0;
    int WindowWidth = 0;
    int WindowHeight = 0;
    std::optional<Region> WindowRegion;
};

}  // namespace skin
