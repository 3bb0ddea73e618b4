#pragma once
// The window part of the main window's face: showing, placing and closing it, its buttons and
// the menus it pops up.
#include <string>
#include <vector>

namespace monitor {

// The small picture of an account menu item.
enum class MenuPicture { None, SmallOk, SmallErr };

struct AccountMenuItem {
    std::string Caption;  // "-" for the separator
    int Tag = 0;
    MenuPicture Picture = MenuPicture::None;
    bool IsDefault = false;
};

struct WindowPosition {
    int Left = 0;
    int Top = 0;
};

class WindowView {
public:
    virtual ~WindowView() = default;
    virtual bool IsWindowVisible() = 0;
    virtual void ShowWindow() = 0;
    virtual void HideWindow() = 0;
    virtual void BringToFront() = 0;
    virtual void Repaint() = 0;
    // Closes the main window, which ends the program.
    virtual void CloseMainWindow() = 0;
    virtual WindowPosition Position() = 0;
    virtual void ApplyOnTop(bool on) = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    // Enables or disables Connect, Disconnect, RefreshBtn, MAIL and FLAG.
    virtual void SetButtonsEnabled(bool enabled) = 0;

    // Pops the account menu up at the mouse position; a click comes back through MnuClick.
    virtual void PopupAccountMenu(const std::vector<AccountMenuItem>& items) = 0;
    // Pops the main menu up at the mouse position (after PopMnuPopup has rebuilt its data).
    virtual void PopupMainMenu() = 0;
};

}  // namespace monitor
