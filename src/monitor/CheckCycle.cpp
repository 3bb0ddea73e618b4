#include "monitor/CheckCycle.h"

#include <algorithm>
#include <limits>
#include <string>

#include "settings/AccountKeyring.h"

namespace monitor {

bool RightAlone(const skin::ShiftState& s) {
    return s.Right && !s.Left && !s.Middle && !s.Shift && !s.Ctrl && !s.Alt && !s.Double;
}

bool LeftDoubleClick(const skin::ShiftState& s) {
    return s.Left && s.Double && !s.Right && !s.Middle && !s.Shift && !s.Ctrl && !s.Alt;
}

// The dialog offers 1 to 99 minutes; a hand-edited value must neither make the timer fire
// without a pause nor overflow the milliseconds.
int CheckInterval(int minutes) {
    constexpr int kMinute = 60000;
    return std::clamp(minutes, 1, std::numeric_limits<int>::max() / kMinute) * kMinute;
}

CheckCycle::CheckCycle(Commun& shared, const MonitorFaces& faces, CheckLinks links,
                       skin::TStatusTicker& ticker, StatusDisplay& status, MonitorTimers& timers,
                       BusyGuard& guard)
    : m_commun(shared),
      m_faces(faces),
      m_session(links.session),
      m_line(links.line),
      m_timer(links.Timer),
      m_pump(links.pump),
      m_news(links.news),
      m_menu(links.menu),
      m_announcer(links.announcer),
      m_ticker(ticker),
      m_status(status),
      m_timers(timers),
      m_guard(guard) {
    m_timers.OnStarted = [this] {
        std::set<int> held;
        held.swap(m_heldNews);
        for (const int number : held) {
            CheckAccountNow(number);
        }
    };
}

int CheckCycle::FirstValidAccount() const {
    for (int n = 1; n <= m_commun.Tables.AccountCount; ++n) {
        const auto& account = m_commun.Tables.AccountTable[n - 1];
        if (!account.acc_name.empty() && !account.inactive) {
            return n;
        }
    }
    return 0;
}

// The account after CurrentAccount, skipping inactive ones unless the table holds only one.
// Each account is visited at most once, so a table without an active account gives 0. A
// CurrentAccount below 0 (a stray menu tag) starts from the first account like 99 does.
int CheckCycle::NextAccountToCheck() const {
    const int count = m_commun.Tables.AccountCount;
    int number = m_commun.CurrentAccount;
    for (int step = 0; step < count; ++step) {
        number = (number + 1 > count || number + 1 < 1) ? 1 : number + 1;
        if (count == 1 || !m_commun.Tables.AccountTable[number - 1].inactive) {
            return number;
        }
    }
    return 0;
}

void CheckCycle::ConnectClick() {
    if (m_guard.DeferWhileBusy("connect", [this] { ConnectClick(); })) {
        return;
    }
    m_faces.window.SetButtonsEnabled(false);
    DoConnect();
    m_faces.window.SetButtonsEnabled(true);
}

void CheckCycle::DoConnect() {
    BusyGuard::Scope busy(m_guard);
    if (!busy) {
        return;
    }
    m_timers.StopTimers();
    m_commun.ClearErrorNotice();
    const int first = FirstValidAccount();
    if (first == 0) {
        m_status.ReportError(kNoValidAccount);
        m_timers.StartTimers();
        return;
    }
    m_session.AimAt(first);
    m_commun.CurrentAccount = kNoAccountYet;

    bool dialled = false;
    const bool dialFailed = m_commun.Config.RAS_connect && !m_line.DialIfNeeded(dialled);
    if (!dialFailed) {
        m_pump.ProcessMessages();
        m_commun.IsConnected = m_session.ProbeServer();
        if (!m_commun.IsConnected && dialled) {
            // A line dialled for a server that does not answer is not left up, busy and
            // out of reach of Disconnect.
            m_line.HangUpLine();
        }
    }
    // Also after a failed probe or dial: a window that was connected must not go on showing
    // it, nor the dialling text stay.
    m_status.ShowConnectionState();
    if (m_commun.IsConnected) {
        RunCheck(true);
    }
    m_ticker.RefreshTicks = 0;
    m_ticker.PauseActive = true;
    m_timer.SetInterval(CheckInterval(m_commun.Config.minutes));
    if (m_commun.IsConnected) {
        m_news.ReadServerList();
        m_news.ReadNews();
    }
    m_timers.StartTimers();
    WatchAccounts();
}

void CheckCycle::CheckNextAccount(bool check) {
    if (!check) {
        RunCheck(false);
        return;
    }
    BusyGuard::Scope busy(m_guard);
    if (busy) {
        RunCheck(true);
    }
}

void CheckCycle::RunCheck(bool check, int number) {
    if (!m_commun.IsConnected) {
        m_faces.status.SetOnlineHint("Disconnected");
        m_status.ShowConnectionState();
        return;
    }
    m_commun.ClearErrorNotice();
    m_faces.status.SetOnlineHint("Connected");
    bool failed = false;
    if (check) {
        const int next = number != 0 ? number : NextAccountToCheck();
        if (next == 0) {
            ShowNoValidAccount();
            return;
        }
        m_commun.CurrentAccount = next;
        failed = !m_session.CheckAccount(next, [this, next] { m_announcer.ScanOpenSession(next); });
    }
    if (!m_commun.IsAccount(m_commun.CurrentAccount)) {
        // A redisplay before the first check: there is no account state to show yet.
        m_status.DrawStatus(m_ticker.StatusText);
        m_status.DrawCount(m_commun.WaitingCount);
        m_status.ShowTrayToolTip();
        return;
    }
    auto& account = m_commun.Account(m_commun.CurrentAccount);
    // A redisplay shows the outcome of the last check: a failed one stays failed.
    if (!check) {
        failed = account.LastCount == settings::kCheckFailed;
    }
    const int previousCount = account.LastCount;
    account.LastCount = failed ? settings::kCheckFailed : m_commun.WaitingCount;
    if (check) {
        account.LastError = failed ? m_session.FailureReason(account) : "";
    }
    if (!failed && m_commun.WaitingCount > 0) {
        m_status.ShowMessageCount();
        m_faces.tray.SetTrayIcon(TrayIcon::VrMail);
        m_status.ShowFlagOrEnd(FlagPicture::GotMail, true);
        if (!m_faces.window.IsWindowVisible()) {
            m_faces.window.ShowWindow();
        }
        m_announcer.AnnounceMail(m_commun.CurrentAccount, previousCount, check);
    } else {
        if (!failed) {
            m_ticker.StatusText = account.acc_name + " empty";
        } else if (check) {
            m_ticker.StatusText = m_commun.ErrorNotice();
        }
        m_status.DrawStatus(m_ticker.StatusText);
        m_status.ShowFlagOrEnd(FlagPicture::NoMail, true);
        m_faces.tray.SetTrayIcon(TrayIcon::VrCon);
        if (failed && m_commun.Config.RAS_connect) {
            m_line.TakeOfflineIfLineLost();
        }
    }
    if (m_commun.IsConnected) {
        m_status.DrawCount(m_status.CountText());
        m_status.ShowTrayToolTip();
    }
    m_ticker.Pause();
}

void CheckCycle::ShowNoValidAccount() {
    m_status.ReportError(kNoValidAccount);
    m_ticker.StatusText = kNoValidAccount;
    m_status.DrawStatus(m_ticker.StatusText);
    m_status.ShowFlagOrEnd(FlagPicture::NoMail, true);
    m_faces.tray.SetTrayIcon(TrayIcon::VrCon);
    m_status.DrawCount(m_commun.WaitingCount);
    m_status.ShowTrayToolTip();
    m_ticker.Pause();
}

void CheckCycle::TimerTimer() {
    // A tick that arrives while a check or fetch pumps messages waits for the next one.
    if (m_guard.Busy()) {
        return;
    }
    m_ticker.Scroll.SetEnabled(false);
    CheckNextAccount(true);
    m_ticker.Scroll.SetEnabled(true);
}

void CheckCycle::DisconnectClick() {
    StopWatch();
    if (m_guard.Busy()) {
        // The running check ends at once through its failure path; then the disconnect.
        m_session.AbortOperation();
        m_guard.DeferWhileBusy("disconnect", [this] { DisconnectClick(); });
        return;
    }
    if (!m_commun.IsConnected) {
        return;
    }
    m_timers.StopTimers();
    m_heldNews.clear();
    m_session.QuitSession();
    for (auto& account : m_commun.Tables.AccountTable) {
        account.LastCount = settings::kNotCheckedYet;
    }
    m_menu.NewsItems.clear();
    m_commun.WaitingCount = 0;
    m_commun.IsConnected = false;
    m_status.ShowConnectionState();
    if (m_commun.Config.RAS_connect) {
        m_line.HangUpLine();
    }
}

void CheckCycle::SetMailboxWatch(MailboxWatch* watch) {
    m_watch->Stop();
    m_watch->OnNewMail = nullptr;
    m_watch = watch != nullptr ? watch : &m_noWatch;
    m_watch->OnNewMail = [this](int number) { CheckAccountNow(number); };
}

void CheckCycle::WatchAccounts() {
    if (m_commun.IsConnected) {
        // A keyring that cannot give a password leaves that account to its checks, which
        // report why.
        if (m_commun.Secrets != nullptr) {
            for (auto& account : m_commun.Tables.AccountTable) {
                if (!account.inactive && account.keyring_unread && settings::IsImap(account)) {
                    settings::LoadKeyringPassword(account, *m_commun.Secrets);
                }
            }
        }
        m_watch->Start(m_commun.Tables);
    } else {
        m_watch->Stop();
    }
}

void CheckCycle::StopWatch() {
    m_watch->Stop();
}

void CheckCycle::CheckAccountNow(int number) {
    if (!m_commun.IsConnected || !m_commun.IsAccount(number)) {
        return;
    }
    if (m_timers.Held()) {
        m_heldNews.insert(number);
        return;
    }
    if (m_guard.DeferWhileBusy("push " + std::to_string(number),
                               [this, number] { CheckAccountNow(number); })) {
        return;
    }
    BusyGuard::Scope busy(m_guard);
    RunCheck(true, number);
}

}  // namespace monitor
