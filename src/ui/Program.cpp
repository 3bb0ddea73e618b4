#include "ui/Program.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTimer>

#include "settings/FindInSkin.h"

namespace ui {

namespace {

// Going on line waits for the first paint, or this many milliseconds when there is none.
constexpr int kLatestOnLine = 500;

}  // namespace

Program::Program(DesktopServices services, std::string programFolder, std::string settingsFolder)
    : m_services(services),
      m_programFolder(std::move(programFolder)),
      m_settingsFolder(settingsFolder.empty() ? m_programFolder : std::move(settingsFolder)),
      m_pop(m_transports, m_pump),
      m_popClient(m_pop),
      m_rasc(services.dialUp),
      m_dialUp(m_rasc),
      m_getNews(m_sync, m_pump),
      m_downloader(m_getNews) {
    m_view = std::make_unique<QtMonitorView>(services.sound, services.dialogs, m_exit);
    m_msgBridge = std::make_unique<monitor::MsgWindowBridge>(*m_view);
    m_vorla = std::make_unique<monitor::TVorla>(
        monitor::MonitorParts{*m_view, m_popClient, m_dialUp, m_downloader, m_timer, m_timers,
                              *m_msgBridge, m_pump, services.shell, services.autorun,
                              services.mailto},
        m_programFolder, m_settingsFolder);
    m_view->Attach(*m_vorla);
    Wire();
}

void Program::BuildWindows() {
    if (m_msgList) {
        BuildConfig();
        return;
    }
    m_msgList = std::make_unique<MsgWindow>(
        MsgWindowParts{m_msgBridge->State(), *m_msgBridge, m_pop, m_services.dialogs, m_pump,
                       m_vorla->Skin, m_vorla->SettingsFolder()});
    m_msgBridge->Attach(*m_vorla, *m_msgList);
    m_preview = std::make_unique<MsgWindowPreview>(*m_msgBridge, *m_msgList);
    MainMenuHandlers handlers;
    handlers.PopMnuPopup = [this]() -> const monitor::MainMenuModel& {
        return m_vorla->PopMnuPopup();
    };
    // The dialog edits the accounts: it waits for a running check to end.
    handlers.Config1Click = [this] {
        Guard([this] { m_vorla->WhenIdle("config", [this] { Config1Click(); }); });
    };
    handlers.OtherSkinClick = [this] { Guard([this] { m_vorla->OtherSkinClick(); }); };
    handlers.SwitchSkinClick = [this](const std::string& name) {
        Guard([this, name] { m_vorla->SwitchSkinClick(name); });
    };
    handlers.Actualiser1Click = [this] { Guard([this] { m_vorla->Actualiser1Click(); }); };
    handlers.NewsServerClick = [this](int tag) {
        Guard([this, tag] { m_vorla->NewsServerClick(tag); });
    };
    handlers.OnTopClick = [this] { Guard([this] { m_vorla->OnTopClick(); }); };
    handlers.AideClick = [this] { Guard([this] { m_vorla->AideClick(); }); };
    handlers.Exit1Click = [this] {
        Guard([this] {
            m_shutDown = true;
            m_vorla->Exit1Click();
        });
    };
    m_menu = std::make_unique<MainMenu>(std::move(handlers));
    m_view->SetMainMenu(m_menu.get());
    BuildConfig();
}

void Program::BuildConfig() {
    // The dialog takes the settings that Start has read.
    if (m_started && !m_config) {
        m_config = std::make_unique<ConfigWindow>(ConfigWindowParts{*m_vorla, *m_view, m_dialUp,
                                                                    m_timer, m_services.dialogs,
                                                                    m_services.shell, *m_preview});
    }
}

Program::~Program() {
    // No tick may reach the logic while the parts go away.
    m_vorla->Ticker.Scroll.SetEnabled(false);
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
    QtMonitorView& view = *m_view;
    MainWindow& window = view.Window();

    view.accountMenuClick = [this](int tag) { Guard([this, tag] { m_vorla->MnuClick(tag); }); };

    connect(&window.Connect(), &ImgBtnWidget::Clicked, this,
            [this] { Guard([this] { m_vorla->ConnectClick(); }); });
    connect(&window.Disconnect(), &ImgBtnWidget::Clicked, this,
            [this] { Guard([this] { m_vorla->DisconnectClick(); }); });
    connect(&window.RefreshBtn(), &ImgBtnWidget::Pressed, this,
            [this](const skin::ShiftState& shift) {
                Guard([this, shift] { m_vorla->RefreshBtnMouseDown(shift); });
            });
    connect(&window.MAIL(), &ImgBtnWidget::Clicked, this,
            [this] { Guard([this] { m_vorla->MAILClick(); }); });
    connect(&window.FLAG(), &ImageWidget::Pressed, this, [this](const skin::ShiftState& shift) {
        Guard([this, shift] { m_vorla->FLAGMouseDown(shift); });
    });
    connect(&window.STATBMP(), &ImageWidget::Pressed, this, [this](const skin::ShiftState& shift) {
        Guard([this, shift] { m_vorla->Ticker.StatusMouseDown(shift); });
    });
    connect(&window, &MainWindow::ContextMenuRequested, this,
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
            [this] { Guard([this] { m_vorla->TimerTimer(); }); });
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

}  // namespace ui
