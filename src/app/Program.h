#pragma once
// The desktop program put together: the Qt platform objects, the composition of the components
// and the monitor logic, the three windows, and the wiring of every window event to the
// logic's handlers.
#include <QObject>

#include <functional>
#include <memory>
#include <string>

#include "app/MsgWindowPreview.h"
#include "app/composition/Composition.h"
#include "app/composition/VorlaLink.h"
#include "platform/Desktop.h"
#include "platform/RasApi.h"
#include "ui/config/ConfigWindow.h"
#include "ui/main/CheckTimer.h"
#include "ui/main/DBusNotifier.h"
#include "ui/main/MainMenu.h"
#include "ui/main/QtMonitorView.h"
#include "ui/main/QtPlatform.h"
#include "ui/msgwindow/MsgWindow.h"

namespace app {

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
    monitor::MonitorJobs& Jobs() { return *m_jobs; }
    uimain::QtMonitorView& View() { return *m_view; }
    uimain::MainWindow& Window() { return m_view->Window(); }
    // The windows after the main one are built at their first use, at the latest once the
    // main window has painted.
    uimain::MainMenu& PopMnu() {
        BuildWindows();
        return *m_menu;
    }
    uimsgwindow::MsgWindow& MsgList() {
        BuildWindows();
        return *m_msgList;
    }
    // Null until Start has succeeded.
    uiconfig::ConfigWindow* Config() {
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
    uimain::QtEventPump m_pump;
    uimain::QtSynchronizer m_sync;
    uimain::QtTimerHost m_timers;
    uimain::QtExitRequest m_exit;
    uimain::CheckTimer m_timer;
    // The new-mail notifications; the monitor built by m_parts points at it.
    uimain::DBusNotifier m_notifier;
    Composition m_parts;
    std::unique_ptr<uimain::QtMonitorView> m_view;
    // Built by the composition.
    monitor::TVorla* m_vorla = nullptr;
    monitor::MonitorJobs* m_jobs = nullptr;
    // The windows draw from the logic's skin and state: they go before the logic does.
    std::unique_ptr<uimsgwindow::MsgWindow> m_msgList;
    std::unique_ptr<MsgWindowPreview> m_preview;
    // The dialog's links to the main window; they outlive the dialog.
    std::unique_ptr<VorlaSkinHost> m_skinHost;
    std::unique_ptr<VorlaConfigOwner> m_configOwner;
    std::unique_ptr<uiconfig::ConfigWindow> m_config;
    std::unique_ptr<uimain::MainMenu> m_menu;
    bool m_started = false;
    bool m_shutDown = false;
    bool m_goOnLineQueued = false;
    bool m_wentOnLine = false;
};

}  // namespace app
