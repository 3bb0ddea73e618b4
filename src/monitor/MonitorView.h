#pragma once
// What the main window shows and does on the desktop, as the monitor logic asks for it. The
// Qt window implements it; tests and vorla-check record the calls.
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "skin/SkinText.h"

namespace monitor {

// The three tray pictures: disconnected, connected without mail, mail waiting.
enum class TrayIcon { VrDis, VrCon, VrMail };

// The picture of the mail flag `FLAG`, taken from the skin's "[youhavemail]" section.
enum class FlagPicture { GotMail, NoMail };

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

// ShowMessage is the one message box; RequestExit ends the program at once.
class MonitorView : public platform::Dialogs, public platform::ExitRequest {
public:
    // The pictures live in TVorla::Skin; these calls say which one has just changed.
    // A text was drawn into the status line `STATBMP` at offset 0 with the status font.
    virtual void DrawStatus(const std::string& text) = 0;
    // A count was drawn into `NBMSGBMP` with the count font: a number, or "-" when the check
    // of the account failed.
    virtual void DrawCount(const std::string& count) = 0;
    // The ticker drew into one of the two text images on its own.
    virtual void TextImageChanged(skin::TextImage image) = 0;
    // `FLAG` shows the skin's mail or no-mail picture now.
    virtual void FlagChanged(FlagPicture picture) = 0;
    // `Online` shows the skin's online or not-online picture now.
    virtual void OnlineChanged(bool online) = 0;
    // A skin was loaded into TVorla::Skin: size, shape, place and pictures of both windows.
    virtual void SkinLoaded() = 0;
    virtual void SetOnlineHint(const std::string& hint) = 0;
    // Puts a picture into the tray icon; no effect without an icon in the tray.
    virtual void SetTrayIcon(TrayIcon icon) = 0;
    // Adds the tray icon (or updates it when modify is set) with that picture.
    virtual void ShowTrayIcon(TrayIcon icon, bool modify) = 0;
    virtual void RemoveTrayIcon() = 0;
    // The tray icon's tool tip; kept while the icon is away, shown when it comes back.
    virtual void SetTrayToolTip(const std::string& text) = 0;
    // The desktop has a notification area to put the icon in (and to bring the window back).
    virtual bool HasSystemTray() = 0;

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

    // Plays a sound file asynchronously; failures are the sink's to ignore.
    virtual void PlaySound(const std::string& file) = 0;

    // Pops the account menu up at the mouse position; a click comes back through MnuClick.
    virtual void PopupAccountMenu(const std::vector<AccountMenuItem>& items) = 0;
    // Pops the main menu up at the mouse position (after PopMnuPopup has rebuilt its data).
    virtual void PopupMainMenu() = 0;
};

}  // namespace monitor
