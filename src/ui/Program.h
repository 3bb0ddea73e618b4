#pragma once
// The desktop program put together: the platform objects, the components, the monitor logic
// and its three windows, and the wiring of every window event to the logic's handlers.
#include <QObject>

#include <functional>
#include <memory>
#include <string>

#include "mail/PosixTransport.h"
#include "mail/QelPOP3.h"
#include "monitor/ComponentAdapters.h"
#include "monitor/Monitor.h"
#include "monitor/MsgWindowBridge.h"
#include "net/HTTPGet.h"
#include "net/RASControl.h"
#include "platform/Desktop.h"
#include "platform/RasApi.h"
#include "ui/CheckTimer.h"
#include "ui/MainMenu.h"
#include "ui/QtMonitorView.h"
#include "ui/QtPlatform.h"
#include "ui/config/ConfigWindow.h"
#include "ui/msgwindow/MsgWindow.h"
#include "ui/msgwindow/MsgWindowPreview.h"

namespace ui {

// The services that reach outside the program; tests give fakes, main() the Linux ones.
struct DesktopServices {
    platform::Sound& sound;
    platform::Shell& shell;
    platform::Autorun& autorun;
    platform::MailtoHandler& mailto;
    platform::Dialogs& dialogs;
    platform::RasApi& dialUp;
};

class Program final : public QObject {
    Q_OBJECT
public:
    // The skins and help page come from programFolder, the settings go to settingsFolder
    // (the program folder itself when empty).
    Program(DesktopServices services, std::string programFolder, std::string settingsFolder = {});
    ~Program() override;

    // Creates the main window's state from the settings and the skin. False when the program
    // must end (the message is shown).
    bool Start();
    // Shows the main window (its first paint may hide it again: start hidden). After that
    // paint come the message window, the menu and the configuration dialog, and the program
    // goes on line: neither a dead server nor those windows keep the first paint waiting.
    void Show();
    // The end of the desktop session: ShutDown, then the end of the program.
    void EndSession();
    // A session checkpoint (the desktop saving its session): the settings are saved and the
    // program goes on.
    void CommitData();

    monitor::TVorla& Vorla() { return *m_vorla; }
    QtMonitorView& View() { return *m_view; }
    MainWindow& Window() { return m_view->Window(); }
    // The windows after the main one are built at their first use, at the latest once the
    // main window has painted.
    MainMenu& PopMnu() {
        BuildWindows();
        return *m_menu;
    }
    MsgWindow& MsgList() {
        BuildWindows();
        return *m_msgList;
    }
    // Null until Start has succeeded.
    ConfigWindow* Config() {
        BuildWindows();
        return m_config.get();
    }
    bool ExitRequested() const { return m_exit.Requested(); }

private:
    void Wire();
    void BuildWindows();
    void BuildConfig();
    void GoOnLine();
    void Config1Click();
    // Runs a handler, the windows built first; an error never crosses the event loop: it is
    // shown as a message box.
    void Guard(const std::function<void()>& handler);
    // The same without building the windows (for the first paint).
    void Run(const std::function<void()>& handler);

    DesktopServices m_services;
    std::string m_programFolder;
    std::string m_settingsFolder;
    QtEventPump m_pump;
    QtSynchronizer m_sync;
    QtTimerHost m_timers;
    QtExitRequest m_exit;
    mail::PosixTransportFactory m_transports;
    mail::TQelPOP m_pop;
    monitor::QelPopClient m_popClient;
    net::TRASControl m_rasc;
    monitor::RasDialUp m_dialUp;
    net::THTTPGet m_getNews;
    monitor::HttpGetDownloader m_downloader;
    CheckTimer m_timer;
    std::unique_ptr<QtMonitorView> m_view;
    std::unique_ptr<monitor::MsgWindowBridge> m_msgBridge;
    std::unique_ptr<monitor::TVorla> m_vorla;
    // The two windows draw from the logic's skin and state: they go before the logic does.
    std::unique_ptr<MsgWindow> m_msgList;
    std::unique_ptr<MsgWindowPreview> m_preview;
    std::unique_ptr<ConfigWindow> m_config;
    std::unique_ptr<MainMenu> m_menu;
    bool m_started = false;
    bool m_shutDown = false;
    bool m_goOnLineQueued = false;
    bool m_wentOnLine = false;
};

}  // namespace ui
