#pragma once
// Renders the two windows as a skin places them, without the program: for skin authors
// (tools/vorla-skinshot) and for tests.
#include <string>
#include <string_view>

#include "skin/SkinModel.h"
#include "skin/SkinText.h"

namespace skin {

// Draws text into the skin's STATBMP or NBMSGBMP with that image's font and cell size, as
// DrawSkinText does; returns the drawing's PastEnd.
bool DrawSkinImageText(MainWindowSkin& skin, FontCache& fonts, TextImage image,
                       std::string_view text, int offset);

struct MainShotOptions {
    std::string Status = "Disconnected";
    int Offset = 0;
    std::string Count = "0";
    bool Online = false;  // the online picture instead of the offline one
    bool Mail = false;    // the mail-waiting picture instead of the no-mail one
};

// The main window: background, the four buttons in their normal pictures, Online, FLAG, the
// count and the status line; pixels outside the window region are KeyColour. Throws
// SkinError when the online, offline or mail picture cannot be loaded.
Bitmap RenderMainWindow(MainWindowSkin& skin, FontCache& fonts, const MainShotOptions& options);

// The message window background with its five buttons in their normal pictures; pixels
// outside its region are KeyColour. Throws SkinError when a button picture cannot be loaded.
Bitmap RenderMsgWindow(const MainWindowSkin& skin);

}  // namespace skin
