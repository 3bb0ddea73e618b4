#pragma once
// The main window as the monitor logic sees it: shows the pictures of the logic's skin model
// when told they changed, the tray icon and the menus. It owns the window.
#include <QObject>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

#include "monitor/TVorla.h"
#include "platform/Desktop.h"
#include "ui/main/MainWindow.h"

class QMenu;

namespace uimain {

class QtMonitorView final : public QObject, public monitor::MonitorView {
    Q_OBJECT
public:
    QtMonitorView(platform::Sound& sound, platform::Dialogs& dialogs,
                  platform::ExitRequest& exitRequest);
    ~QtMonitorView() override;

    // Builds the window on the logic's skin model; before this no call may arrive.
    void Attach(monitor::TVorla& vorla);

    MainWindow& Window() { return *m_window; }
    QSystemTrayIcon& Tray() { return *m_tray; }
    // The menu shown by PopupMainMenu.
    void SetMainMenu(QMenu* menu) { m_mainMenu = menu; }
    // Where an account menu click goes.
    std::function<void(int)> accountMenuClick;
    // Whether the desktop has a tray now; tests stand in for the desktop.
    std::function<bool()> systemTrayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;

    // platform::Dialogs and platform::ExitRequest.
    void ShowMessage(const std::string& text) override;
    bool Ask(const std::string& text) override;
    platform::Answer AskYesNoCancel(const std::string& text) override;
    void RequestExit() override;

    // monitor::MonitorView.
    void DrawStatus(const std::string& text) override;
    void DrawCount(const std::string& count) override;
    void TextImageChanged(skin::TextImage image) override;
    void FlagChanged(monitor::FlagPicture picture) override;
    void OnlineChanged(bool online) override;
    void SkinLoaded() override;
    void SetOnlineHint(const std::string& hint) override;
    void SetTrayIcon(monitor::TrayIcon icon) override;
    void ShowTrayIcon(monitor::TrayIcon icon, bool modify) override;
    void RemoveTrayIcon() override;
    void SetTrayToolTip(const std::string& text) override;
    bool HasSystemTray() override;
    bool IsWindowVisible() override;
    void ShowWindow() override;
    void HideWindow() override;
    void BringToFront() override;
    void Repaint() override;
    void CloseMainWindow() override;
    monitor::WindowPosition Position() override;
    void ApplyOnTop(bool on) override;
    void SetBusyCursor(bool busy) override;
    void SetButtonsEnabled(bool enabled) override;
    void PlaySound(const std::string& file) override;
    void PopupAccountMenu(const std::vector<monitor::AccountMenuItem>& items) override;
    void PopupMainMenu() override;

private:
    // Online or FLAG: a picture shown transparently, with its hint and cursor.
    void ShowImage(uicontrols::ImageWidget& widget, const skin::SkinImage& image);

    platform::Sound& m_sound;
    platform::Dialogs& m_dialogs;
    platform::ExitRequest& m_exitRequest;
    skin::MainWindowSkin* m_skin = nullptr;
    std::unique_ptr<MainWindow> m_window;
    QSystemTrayIcon* m_tray;
    QMenu* m_mainMenu = nullptr;
    std::unique_ptr<QMenu> m_accountMenu;
    bool m_busyCursor = false;
    // The hint STATBMP shows, kept to skip its conversion at every ticker step.
    std::string m_statusHint;
};

}  // namespace uimain
