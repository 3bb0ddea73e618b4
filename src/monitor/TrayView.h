#pragma once
// The tray part of the main window's face: the icon in the desktop's notification area.
#include <string>

namespace monitor {

// The three tray pictures: disconnected, connected without mail, mail waiting.
enum class TrayIcon { VrDis, VrCon, VrMail };

class TrayView {
public:
    virtual ~TrayView() = default;
    // Puts a picture into the tray icon; no effect without an icon in the tray.
    virtual void SetTrayIcon(TrayIcon icon) = 0;
    // Adds the tray icon (or updates it when modify is set) with that picture.
    virtual void ShowTrayIcon(TrayIcon icon, bool modify) = 0;
    virtual void RemoveTrayIcon() = 0;
    // The tray icon's tool tip; kept while the icon is away, shown when it comes back.
    virtual void SetTrayToolTip(const std::string& text) = 0;
    // The desktop has a notification area to put the icon in (and to bring the window back).
    virtual bool HasSystemTray() = 0;
};

}  // namespace monitor
