#include "app/Program.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/LinuxDesktop.h"
#include "settings/FindInSkin.h"

namespace app {

namespace {

// Going on line waits for the first paint, or this many milliseconds when there is none.
constexpr int kLatestOnLine = 500;

}  // namespace

Program::Program(DesktopServices services, std::string programFolder, std::string settingsFolder)
    : m_services(services),
      m_parts({m_pump, m_sync, m_timers, services.dialUp, services.shell, services.autorun,
               services.mailto},
              programFolder, settingsFolder.empty() ? programFolder : settingsFolder) {
    m_view = std::make_unique<uimain::QtMonitorView>(services.sound, services.dialogs, m_exit);
    m_vorla = &m_parts.BuildMonitor({*m_view, m_timer, nullptr, nullptr, nullptr, &m_notifier});
    m_jobs = &m_parts.Jobs();
    // A click on a notification runs as the window's own handlers do.
    m_notifier.OnOpenMessage = [this, open = m_notifier.OnOpenMessage](int account, int message) {
        Guard([&] { open(account, message); });
    };
    m_notifier.OnOpenMailProgram = [this, open = m_notifier.OnOpenMailProgram] { Guard(open); };
    m_view->Attach(m_jobs->Skin);
    Wire();
}

void Program::BuildWindows() {
    if (m_msgList) {
        BuildConfig();
        return;
    }
    m_msgList = std::make_unique<uimsgwindow::MsgWindow>(uimsgwindow::MsgWindowParts{
        m_parts.Shared, *m_vorla, m_parts.PopClient, m_parts.SmtpClient, m_services.shell,
        m_services.dialogs, m_pump, m_jobs->Skin, platform::DownloadFolder()});
    m_jobs->HandOver.SetMessageWindow(*m_msgList);
    m_preview = std::make_unique<MsgWindowPreview>(*m_msgList);
    uimain::MainMenuHandlers handlers;
    handlers.PopMnuPopup = [this]() -> const monitor::MainMenuModel& {
        return m_jobs->Menu.PopMnuPopup();
    };
    // The dialog edits the accounts: it waits for a running check to end.
    handlers.Config1Click = [this] {
        Guard([this] { m_jobs->Guard.WhenIdle("config", [this] { Config1Click(); }); });
    };
    handlers.OtherSkinClick = [this] { Guard([this] { m_jobs->Menu.OtherSkinClick(); }); };
    handlers.SwitchSkinClick = [this](const std::string& name) {
        Guard([this, name] { m_jobs->Menu.SwitchSkinClick(name); });
    };
    handlers.Actualiser1Click = [this] { Guard([this] { m_jobs->News.Actualiser1Click(); }); };
    handlers.NewsServerClick = [this](int tag) {
        Guard([this, tag] { m_jobs->News.NewsServerClick(tag); });
    };
    handlers.OnTopClick = [this] { Guard([this] { m_jobs->Menu.OnTopClick(); }); };
    handlers.AideClick = [this] { Guard([this] { m_jobs->Menu.AideClick(); }); };
    handlers.Exit1Click = [this] {
        Guard([this] {
            m_shutDown = true;
            m_vorla->Exit1Click();
        });
    };
    m_menu = std::make_unique<uimain::MainMenu>(std::move(handlers));
    m_view->SetMainMenu(m_menu.get());
    BuildConfig();
}

void Program::BuildConfig() {
    // The dialog takes the settings that Start has read.
    if (m_started && !m_config) {
        m_skinHost = std::make_unique<VorlaSkinHost>(*m_jobs, *m_view);
        m_configOwner = std::make_unique<VorlaConfigOwner>(
            VorlaParts{*m_vorla, *m_jobs, m_parts.DialUp, m_timer,
                       [this](config::TConfig&) { m_config->Dialog().ShowModal(); }});
        m_config = std::make_unique<uiconfig::ConfigWindow>(uiconfig::ConfigWindowParts{
            m_jobs->Shared.Config, m_jobs->Shared.Tables, m_jobs->SettingsFolder, *m_skinHost,
            *m_configOwner, m_services.dialogs, m_services.shell, *m_preview,
            m_jobs->Shared.Secrets});
    }
}

Program::~Program() {
    // No tick may reach the logic while the parts go away.
    m_jobs->Ticker.Scroll.SetEnabled(false);
    m_timer.SetEnabled(false);
    m_sync.Close();
    // The widgets draw from the logic's buttons and pictures: they go before the logic does.
    m_config.reset();
    m_preview.reset();
    m_msgList.reset();
    m_menu.reset();
    m_view.reset();
}

void Program::Wire() {
    uimain::QtMonitorView& view = *m_view;
    uimain::MainWindow& window = view.Window();

    view.accountMenuClick = [this](int tag) {
        Guard([this, tag] { m_jobs->Accounts.MnuClick(tag); });
    };

    connect(&window.Connect(), &uicontrols::ImgBtnWidget::Clicked, this,
            [this] { Guard([this] { m_jobs->Cycle.ConnectClick(); }); });
    connect(&window.Disconnect(), &uicontrols::ImgBtnWidget::Clicked, this,
            [this] { Guard([this] { m_jobs->Cycle.DisconnectClick(); }); });
    connect(&window.RefreshBtn(), &uicontrols::ImgBtnWidget::Pressed, this,
            [this](const skin::ShiftState& shift) {
                Guard([this, shift] { m_jobs->Accounts.RefreshBtnMouseDown(shift); });
            });
    connect(&window.MAIL(), &uicontrols::ImgBtnWidget::Clicked, this,
            [this] { Guard([this] { m_jobs->MailClient.MAILClick(); }); });
    connect(&window.FLAG(), &uicontrols::ImageWidget::Pressed, this,
            [this](const skin::ShiftState& shift) {
                Guard([this, shift] { m_jobs->HandOver.FLAGMouseDown(shift); });
            });
    connect(&window.STATBMP(), &uicontrols::ImageWidget::Pressed, this,
            [this](const skin::ShiftState& shift) {
                Guard([this, shift] { m_jobs->Ticker.StatusMouseDown(shift); });
            });
    connect(&window, &uimain::MainWindow::ContextMenuRequested, this,
            [this](QPoint at) { Guard([this, at] { PopMnu().popup(at); }); });
    connect(&view.Tray(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                const monitor::TrayEvent event =
                    reason == QSystemTrayIcon::Trigger   ? monitor::TrayEvent::LeftDown
                    : reason == QSystemTrayIcon::Context ? monitor::TrayEvent::RightDown
                                                         : monitor::TrayEvent::Other;
                Guard([this, event] { m_vorla->TrayCallback(event); });
            });
    connect(&m_timer.Timer(), &QTimer::timeout, this,
            [this] { Guard([this] { m_jobs->Cycle.TimerTimer(); }); });
    window.beforePaint = [this, &window] {
        Run([this] { m_vorla->FirstPaint(); });
        // The rest of the start waits for this paint: the window shows at once.
        if (m_started && !m_goOnLineQueued) {
            m_goOnLineQueued = true;
            QTimer::singleShot(0, this, [this] { GoOnLine(); });
        }
        return window.isVisible();
    };
    // The desktop asks for the data at a checkpoint as well as at its end; only aboutToQuit
    // (or SIGTERM) is the end.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { CommitData(); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        // A quit that the program did not ask for comes from the desktop session.
        if (m_started && !m_shutDown && !m_exit.Requested()) {
            EndSession();
        }
    });
}

bool Program::Start() {
    m_started = m_vorla->FormCreate(false);
    return m_started;
}

void Program::Show() {
    Window().show();
    // A window that gets no paint (off the screen, say) still goes on line.
    QTimer::singleShot(kLatestOnLine, this, [this] { GoOnLine(); });
}

void Program::GoOnLine() {
    if (m_wentOnLine || m_shutDown || m_exit.Requested()) {
        return;
    }
    m_wentOnLine = true;
    Guard([this] { m_vorla->GoOnLine(); });
}

void Program::EndSession() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    Guard([this] { m_vorla->QueryEndSession(); });
}

void Program::CommitData() {
    if (!m_started || m_shutDown) {
        return;
    }
    Guard([this] { m_vorla->CommitData(); });
}

void Program::Config1Click() {
    if (m_config) {
        m_config->Config1Click();
    }
}

void Program::Guard(const std::function<void()>& handler) {
    Run([this, &handler] {
        BuildWindows();
        handler();
    });
}

void Program::Run(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const settings::FatalSettingsError&) {
        // Already shown, and the end of the program requested.
    } catch (const std::exception& e) {
        m_services.dialogs.ShowMessage(e.what());
    }
}

}  // namespace app
