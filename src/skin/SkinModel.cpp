#include "skin/SkinModel.h"

#include "settings/LineReader.h"

namespace skin {

MainWindowSkin::MainWindowSkin() {
    // Plain names of what each picture button does.
    Connect.Hint = "Connect";
    Disconnect.Hint = "Disconnect";
    RefreshBtn.Hint = "Check now";
    MAIL.Hint = "Open mail program";
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
