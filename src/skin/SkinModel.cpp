#include "skin/SkinModel.h"

#include "settings/TextLines.h"

namespace skin {

MainWindowSkin::MainWindowSkin() {
    Connect.Hint = "Connect to POP server";
    Disconnect.Hint = "Hang-up the line";
    RefreshBtn.Hint = "Check for Messages";
    MAIL.Hint = "Run mail client";
    NBMSGBMP.Hint = "NB Messages";
}

bool IsBoldStyle(const std::string& style) {
    return settings::ContainsIgnoringCase(style, "bold");
}

bool IsItalicStyle(const std::string& style) {
    return settings::ContainsIgnoringCase(style, "italic");
}

void ClampMsgWindowPosition(int& x, int& y, int screenWidth, int screenHeight) {
    if (x > screenWidth || x < 0) {
        x = 0;
    }
    if (y > screenHeight || y < 0) {
        y = 0;
    }
}

}  // namespace skin
