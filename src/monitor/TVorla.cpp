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

TVorla::TVorla(MonitorJobs& jobs, const MonitorParts& parts)
    : m_jobs(jobs),
      m_commun(jobs.Shared),
      m_view(parts.view),
      m_rasc(parts.RASC),
      m_autorun(parts.autorun) {}

bool TVorla::FormCreate(bool goOnLine) {
    m_view.window.SetBusyCursor(true);
    m_jobs.Ticker.StatusText = "Disconnected";
    m_jobs.Ticker.ScrollOffset = 0;
    m_jobs.Ticker.RefreshTicks = 0;
    m_jobs.Ticker.Pause();
    m_commun.Tables.AccountCount = 0;
    m_commun.CurrentAccount = kNoAccountYet;
    m_commun.WaitingCount = 0;
    m_commun.IsConnected = false;
    m_jobs.Timers.FirstPaintPending = true;
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
    settings::LitConfig(m_jobs.SettingsFolder, m_commun.Config, m_commun.Tables,
                        {m_view.dialogs, m_view.exit});
    m_jobs.Ticker.SetSpeed(m_commun.Config.speed);
    m_jobs.Ticker.MinScroll = m_commun.Config.min_scroll;
    m_view.window.ApplyOnTop(m_commun.Config.ontop);
    if (!m_jobs.Skins.Load(true)) {
        settings::ReportFatal({m_view.dialogs, m_view.exit}, skin::kInvalidSkin);
    }
    // The message window opens where it was closed last: the load read its saved place.
    m_commun.Config.memo_posx = m_jobs.Skin.MsgWindow.PosX;
    m_commun.Config.memo_posy = m_jobs.Skin.MsgWindow.PosY;
    m_commun.Config.memo_pos_saved = m_jobs.Skin.MsgWindow.PosSaved;
    try {
        m_rasc.RefreshEntries();
    } catch (const DialUpError& e) {
        m_view.dialogs.ShowMessage(e.what());
    }
    if (goOnLine) {
        GoOnLine();
    }
    m_jobs.Timers.StartTimers();
    m_jobs.Status.AfficheTray(false);
    return true;
}

void TVorla::GoOnLine() {
    if (m_commun.Config.autoconnect) {
        m_jobs.Cycle.DoConnect();
    }
    m_jobs.News.LitVrNews();
    if (m_commun.Tables.AccountCount == 0) {
        m_jobs.Status.ReportError(kNoAccountNotice);
    }
    // After the news, which would take the ticker's item over at once; said once before the
    // notice.
    m_jobs.Status.SayTrayMissingOnce();
}

void TVorla::ShutDown() {
    m_jobs.Timers.StopTimers();
    m_jobs.Cycle.StopWatch();
    // An exit clicked while a check or fetch waits on the server must not talk to the client
    // under it: the running operation is aborted and ends its own session, and nothing that
    // waited for it runs any more.
    if (m_jobs.Guard.Busy()) {
        m_jobs.Session.AbortOperation();
        m_jobs.Guard.DropWaiting();
    } else {
        m_jobs.Session.QuitSession();
    }
    m_jobs.Ticker.NewsLines.clear();
    m_jobs.News.NewsServers.clear();
    m_jobs.Menu.Model() = MainMenuModel{};
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
    m_jobs.Status.AfficheTray(false);
    if (saveError) {
        std::rethrow_exception(saveError);
    }
}

void TVorla::SaveSettings() {
    const WindowPosition position = m_view.window.Position();
    m_commun.Config.posx = position.Left;
    m_commun.Config.posy = position.Top;
    settings::SaveConfig(m_jobs.SettingsFolder, m_commun.Config);
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
    if (!m_commun.Config.hidden || !m_jobs.Timers.FirstPaintPending) {
        return;
    }
    m_jobs.Timers.FirstPaintPending = false;
    // Hidden without a tray there would be no way back to the window.
    if (m_jobs.Status.TrayMissing()) {
        return;
    }
    m_view.window.HideWindow();
    m_jobs.Ticker.StopTimers();
}

void TVorla::SetAutorun() {
    // Failures of the autostart entry are ignored, as the user cannot act on them here.
    try {
        if (m_commun.Config.autorun) {
            m_autorun.Enable(m_jobs.ProgramFolder + "vorla");
        } else {
            m_autorun.Disable();
        }
    } catch (const std::exception&) {
    }
}

void TVorla::TrayCallback(TrayEvent event) {
    if (event == TrayEvent::LeftDown) {
        if (m_view.window.IsWindowVisible()) {
            m_view.window.HideWindow();
            m_jobs.Ticker.Scroll.SetEnabled(false);
        } else {
            m_view.window.ShowWindow();
            m_jobs.Ticker.Scroll.SetEnabled(true);
        }
    } else if (event == TrayEvent::RightDown) {
        m_view.window.BringToFront();
        m_jobs.Menu.PopMnuPopup();
        m_view.window.PopupMainMenu();
    }
}

}  // namespace monitor
