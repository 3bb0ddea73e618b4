#include "monitor/TVorla.h"

#include <exception>
#include <iostream>
#include "monitor/NewsFeed.h"
#include "skin/LoadSkin.h"

#include "settings/AtomicFile.h"
#include "settings/LitConfig.h"
#include "settings/Writers.h"

namespace monitor {

namespace {

void ReportUnattended(const std::exception& e) {
    std::cerr << "vorla: " << e.what() << std::endl;
}

}  // namespace

TVorla::TVorla(Commun& shared, MonitorParts parts, std::string programFolder)
    : TVorla(shared, parts, programFolder, programFolder) {}

TVorla::TVorla(Commun& shared, MonitorParts parts, std::string programFolder,
               std::string settingsFolder)
    : m_commun(shared),
      m_view(parts.view),
      m_rasc(parts.RASC),
      m_shell(parts.shell),
      m_autorun(parts.autorun),
      m_programFolder(std::move(programFolder)),
      m_settingsFolder(std::move(settingsFolder)),
      m_ticker(shared.StatusText, m_skin, m_tickerLink, parts.pump, parts.tickerTimers),
      m_timers(shared, parts.view.window, m_ticker, parts.Timer),
      m_news(shared, parts.GetNews, m_ticker, m_status, m_timers, m_guard, m_settingsFolder),
      m_session(shared, parts.POP, parts.pump, m_status, m_guard),
      m_line(shared, parts.RASC, parts.view.dialogs, parts.pump, m_status, m_timers),
      m_announcer(shared, parts.POP, m_status, parts.view.sound, m_settingsFolder + kSeenFile),
      m_cycle(shared, parts.view,
              {m_session, m_line, parts.Timer, parts.pump, m_news, m_menu, m_announcer}, m_ticker,
              m_status, m_timers, m_guard),
      m_accounts(shared, parts.view.window, m_cycle, m_timers, m_guard),
      m_handOver(shared, parts.view, {parts.POP, m_session, parts.pump}, m_cycle, m_ticker,
                 m_status, m_timers, m_guard),
      m_mailClient(shared, parts.view.dialogs, parts.shell, parts.mailto, parts.pump, m_ticker,
                   m_status, m_guard) {}

bool TVorla::FormCreate(bool goOnLine) {
    m_view.window.SetBusyCursor(true);
    m_ticker.StatusText = "Disconnected";
    m_ticker.ScrollOffset = 0;
    m_ticker.RefreshTicks = 0;
    m_ticker.Pause();
    m_commun.Tables.AccountCount = 0;
    m_commun.CurrentAccount = kNoAccountYet;
    m_commun.WaitingCount = 0;
    m_commun.IsConnected = false;
    m_timers.FirstPaintPending = true;
    bool started = false;
    try {
        started = Init(goOnLine);
    } catch (const settings::FatalSettingsError&) {
        // Already shown and the exit requested; nothing more may run or be written.
        started = false;
    }
    m_view.window.SetBusyCursor(false);
    return started;
}

bool TVorla::Init(bool goOnLine) {
    settings::LitConfig(m_settingsFolder, m_commun.Config, m_commun.Tables,
                        {m_view.dialogs, m_view.exit});
    m_ticker.SetSpeed(m_commun.Config.speed);
    m_ticker.MinScroll = m_commun.Config.min_scroll;
    ApplyOnTop(m_commun.Config.ontop);
    if (!LoadSkin(true)) {
        settings::ReportFatal({m_view.dialogs, m_view.exit}, skin::kInvalidSkin);
    }
    // The message window opens where it was closed last: the load read its saved place.
    m_commun.Config.memo_posx = m_skin.MsgWindow.PosX;
    m_commun.Config.memo_posy = m_skin.MsgWindow.PosY;
    m_commun.Config.memo_pos_saved = m_skin.MsgWindow.PosSaved;
    try {
        m_rasc.RefreshEntries();
    } catch (const DialUpError& e) {
        m_view.dialogs.ShowMessage(e.what());
    }
    if (goOnLine) {
        GoOnLine();
    }
    m_timers.StartTimers();
    m_status.AfficheTray(false);
    return true;
}

void TVorla::GoOnLine() {
    if (m_commun.Config.autoconnect) {
        m_cycle.DoConnect();
    }
    m_news.LitVrNews();
    // After the news, which would take the ticker's item over at once.
    m_status.SayTrayMissingOnce();
}

void TVorla::ShutDown() {
    m_timers.StopTimers();
    // An exit clicked while a check or fetch waits on the server must not talk to the client
    // under it: the running operation is aborted and ends its own session, and nothing that
    // waited for it runs any more.
    if (m_guard.Busy()) {
        m_session.AbortOperation();
        m_guard.DropWaiting();
    } else {
        m_session.QuitSession();
    }
    m_ticker.NewsLines.clear();
    m_news.NewsServers.clear();
    m_menu = MainMenuModel{};
    std::exception_ptr saveError;
    if (m_saveOnShutDown) {
        try {
            SaveSettings();
        } catch (const settings::SettingsWriteError&) {
            saveError = std::current_exception();
        }
    }
    // After the save, so the file keeps the user's choice; this removes the icon.
    m_commun.Config.icon_tray = false;
    m_status.AfficheTray(false);
    if (saveError) {
        std::rethrow_exception(saveError);
    }
}

void TVorla::SaveSettings() {
    const WindowPosition position = m_view.window.Position();
    m_commun.Config.posx = position.Left;
    m_commun.Config.posy = position.Top;
    settings::SaveConfig(m_settingsFolder, m_commun.Config);
}

// The program ends even when the settings cannot be written (the old file stays whole): the
// user is told which file and why, and the program ends once the message is closed.
void TVorla::Exit1Click() {
    try {
        ShutDown();
    } catch (const settings::SettingsWriteError& e) {
        m_view.dialogs.ShowMessage(e.what());
    }
    m_view.window.CloseMainWindow();
}

// Nobody is there to click at the end of the session: a failed write goes to standard error.
bool TVorla::QueryEndSession() {
    try {
        ShutDown();
    } catch (const settings::SettingsWriteError& e) {
        ReportUnattended(e);
    }
    m_view.window.CloseMainWindow();
    return true;
}

void TVorla::CommitData() {
    try {
        SaveSettings();
    } catch (const settings::SettingsWriteError& e) {
        ReportUnattended(e);
    }
}

void TVorla::FirstPaint() {
    if (!m_commun.Config.hidden || !m_timers.FirstPaintPending) {
        return;
    }
    m_timers.FirstPaintPending = false;
    // Hidden without a tray there would be no way back to the window.
    if (m_status.TrayMissing()) {
        return;
    }
    m_view.window.HideWindow();
    m_ticker.StopTimers();
}

void TVorla::SetAutorun() {
    // Failures of the autostart entry are ignored, as the user cannot act on them here.
    try {
        if (m_commun.Config.autorun) {
            m_autorun.Enable(m_programFolder + "vorla");
        } else {
            m_autorun.Disable();
        }
    } catch (const std::exception&) {
    }
}

void TVorla::ApplyOnTop(bool on) {
    m_view.window.ApplyOnTop(on);
}

void TVorla::TrayCallback(TrayEvent event) {
    if (event == TrayEvent::LeftDown) {
        if (m_view.window.IsWindowVisible()) {
            m_view.window.HideWindow();
            m_ticker.Scroll.SetEnabled(false);
        } else {
            m_view.window.ShowWindow();
            m_ticker.Scroll.SetEnabled(true);
        }
    } else if (event == TrayEvent::RightDown) {
        m_view.window.BringToFront();
        PopMnuPopup();
        m_view.window.PopupMainMenu();
    }
}

bool TVorla::LoadSkin(bool redraw) {
    const skin::SkinSource source{m_commun.Config.SkinFolder,
                                  m_settingsFolder + settings::kVorlaIni};
    if (!skin::LoadSkin(m_skin, source, {m_view.dialogs, m_view.exit}, false, {})) {
        return false;
    }
    ShowSkin(redraw);
    return true;
}

namespace {

// Takes the fatal report of a skin that is only tried: the switch shows its own message.
class TrialSinks final : public platform::Dialogs, public platform::ExitRequest {
public:
    void ShowMessage(const std::string&) override {}
    bool Ask(const std::string&) override { return false; }
    platform::Answer AskYesNoCancel(const std::string&) override {
        return platform::Answer::Cancel;
    }
    void RequestExit() override {}
};

}  // namespace

bool TVorla::TrySkin() {
    const skin::SkinSource source{m_commun.Config.SkinFolder,
                                  m_programFolder + settings::kVorlaIni};
    TrialSinks trial;
    try {
        if (!skin::LoadSkin(m_skin, source, {trial, trial}, false, {})) {
            return false;
        }
    } catch (const settings::FatalSettingsError&) {
        return false;
    }
    ShowSkin(true);
    return true;
}

void TVorla::ShowSkin(bool redraw) {
    m_view.status.SkinLoaded();
    if (redraw) {
        m_cycle.CheckNextAccount(false);
        m_status.ShowConnectionState();
    }
}

void TVorla::OpenNewMail(int account, int message) {
    if (!m_commun.IsConnected || !m_commun.IsAccount(account) || m_guard.Busy()) {
        return;
    }
    if (m_commun.CurrentAccount != account) {
        // The count shown is another account's: check this one first, then open it.
        m_commun.CurrentAccount = account - 1;
        m_timers.StopTimers();
        m_cycle.CheckNextAccount(true);
        m_timers.StartTimers();
    }
    if (m_commun.CurrentAccount == account) {
        m_handOver.OpenMessage(message);
    }
}

}  // namespace monitor
