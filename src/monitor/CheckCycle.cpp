#include "monitor/CheckCycle.h"

#include <algorithm>
#include <limits>

#include "settings/FindInSkin.h"
#include "settings/TextLines.h"

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

CheckCycle::CheckCycle(Commun& shared, MonitorView& view, CheckLinks links,
                       skin::TStatusTicker& ticker, StatusDisplay& status, MonitorTimers& timers,
                       BusyGuard& guard, NewsReader& news, MainMenuModel& menu)
    : m_commun(shared),
      m_view(view),
      m_pop(links.POP),
      m_rasc(links.RASC),
      m_timer(links.Timer),
      m_pump(links.pump),
      m_ticker(ticker),
      m_status(status),
      m_timers(timers),
      m_guard(guard),
      m_news(news),
      m_menu(menu) {
    m_pop.OnError = [this](int error, const std::string& text) { POPError(error, text); };
    m_pop.OnRetrieveProgress = [this](unsigned percent) { POPRetrieveProgress(percent); };
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
    m_view.SetButtonsEnabled(false);
    DoConnect();
    m_view.SetButtonsEnabled(true);
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
    const auto& account = m_commun.Account(first);
    m_pop.SetServer(account.host_name, std::to_string(account.port_number));
    m_pop.SetSecurity(account.tls_mode, account.tls_fingerprint, account.oauth_command);
    m_commun.PopAccount = first;
    m_commun.CurrentAccount = kNoAccountYet;

    bool dialled = false;
    const bool dialFailed = m_commun.Config.RAS_connect && !DialIfNeeded(dialled);
    if (!dialFailed) {
        m_pump.ProcessMessages();
        m_commun.IsConnected = ProbeServer();
        if (!m_commun.IsConnected && dialled) {
            // A line dialled for a server that does not answer is not left up, busy and
            // out of reach of Disconnect.
            HangUpLine();
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
}

// The probe only reads the greeting: is the server reachable at all? False, with the reason
// in ErrorNotice, when it is not.
bool CheckCycle::ProbeServer() {
    if (StopIfAborted()) {
        return false;
    }
    const PopTimeLimit limit(m_pop);
    bool reachable = false;
    try {
        m_pop.Connect();
        reachable = !m_pop.Failed();
    } catch (const PopError& e) {
        ReportPopFault(e);
        return false;
    }
    if (!reachable) {
        if (m_commun.ErrorNotice().empty()) {
            ReportUnexplainedFailure();
        }
        return false;
    }
    QuitSession();
    return true;
}

// Dials entry RAS_num unless the window is on line already; false when no line came up.
// dialled tells whether this call brought the line up.
bool CheckCycle::DialIfNeeded(bool& dialled) {
    const auto entries = m_rasc.Entries();
    if (entries.empty()) {
        m_status.ReportError(kNoDialUpEntry);
        return false;
    }
    if (m_commun.Config.RAS_num < 0 ||
        m_commun.Config.RAS_num >= static_cast<int>(entries.size())) {
        m_commun.Config.RAS_num = 0;
    }
    const std::string& name = entries[m_commun.Config.RAS_num];
    m_status.DrawStatus("Connection to " + name);
    m_pump.ProcessMessages();
    if (m_commun.IsConnected) {
        return true;
    }
    try {
        m_rasc.Dial(m_commun.Config.RAS_num);
    } catch (const DialUpError& e) {
        const std::string reason = m_rasc.LastError().empty() ? e.what() : m_rasc.LastError();
        m_status.ReportError(name + " : " + reason);
        return false;
    }
    dialled = true;
    return true;
}

void CheckCycle::HangUpLine() {
    if (m_rasc.Entries().empty()) {
        return;
    }
    try {
        m_rasc.HangUp(m_commun.Config.RAS_num);
    } catch (const DialUpError& e) {
        m_view.ShowMessage(e.what());
    }
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

void CheckCycle::RunCheck(bool check) {
    if (!m_commun.IsConnected) {
        m_view.SetOnlineHint("Disconnected");
        m_status.ShowConnectionState();
        return;
    }
    m_commun.ClearErrorNotice();
    m_view.SetOnlineHint("Connected");
    bool failed = false;
    if (check) {
        const int next = NextAccountToCheck();
        if (next == 0) {
            ShowNoValidAccount();
            return;
        }
        m_commun.CurrentAccount = next;
        failed = !CheckAccount(next);
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
        account.LastError = failed ? FailureReason(account) : "";
    }
    if (!failed && m_commun.WaitingCount > 0) {
        m_status.ShowMessageCount();
        m_view.SetTrayIcon(TrayIcon::VrMail);
        m_status.ShowFlagOrEnd(FlagPicture::GotMail, true);
        if (!m_view.IsWindowVisible()) {
            m_view.ShowWindow();
        }
        if (m_commun.Config.playsnd && previousCount < m_commun.WaitingCount &&
            !m_commun.Config.wavsnd.empty()) {
            m_view.PlaySound(m_commun.Config.wavsnd);
        }
    } else {
        if (!failed) {
            m_ticker.StatusText = account.acc_name + " empty";
        } else if (check) {
            m_ticker.StatusText = m_commun.ErrorNotice();
        }
        m_status.DrawStatus(m_ticker.StatusText);
        m_status.ShowFlagOrEnd(FlagPicture::NoMail, true);
        m_view.SetTrayIcon(TrayIcon::VrCon);
        if (failed && m_commun.Config.RAS_connect) {
            TakeOfflineIfLineLost();
        }
    }
    if (m_commun.IsConnected) {
        m_status.DrawCount(m_status.CountText());
        m_status.ShowTrayToolTip();
    }
    m_ticker.Pause();
}

// Why the check of the account failed, as short as the tray's tool tip wants it.
std::string CheckCycle::FailureReason(const settings::AccountRecord& account) const {
    if (m_loginRefused) {
        return kLoginRefused;
    }
    // The notice begins with the account's name, which the tool tip shows already.
    std::string reason = m_commun.ErrorNotice();
    if (reason.rfind(account.acc_name + " ", 0) == 0) {
        reason.erase(0, account.acc_name.size() + 1);
    }
    return settings::TrimBlanks(reason);
}

// One POP3 session: connect, log in, count, quit. False when any step failed; WaitingCount
// then keeps its value and ErrorNotice says why.
bool CheckCycle::CheckAccount(int number) {
    const auto& account = m_commun.Account(number);
    m_commun.PopAccount = number;
    m_pop.SetServer(account.host_name, std::to_string(account.port_number));
    m_pop.SetSecurity(account.tls_mode, account.tls_fingerprint, account.oauth_command);
    m_status.DrawStatus("checking " + account.acc_name);
    m_loginRefused = false;
    m_pump.ProcessMessages();
    if (StopIfAborted()) {
        return false;
    }
    const PopTimeLimit limit(m_pop);
    const bool ok = OpenSession();
    if (ok) {
        try {
            m_pop.Quit();
        } catch (const PopError& e) {
            // The count is taken; only the goodbye failed.
            ReportPopFault(e);
        }
    }
    if (!ok && m_commun.ErrorNotice().empty()) {
        ReportUnexplainedFailure();
    }
    return ok;
}

bool CheckCycle::OpenSession() {
    bool open = false;
    m_loginRefused = false;
    try {
        m_pop.Connect();
        m_pump.ProcessMessages();
        if (!m_pop.Failed()) {
            if (LoginAsPopAccount(m_pop, m_commun)) {
                m_pop.GetMailCount();
                // A refused STAT closes the session; a refused LAST only sets Failed and is
                // harmless.
                open = m_pop.Connected();
            } else {
                // The server answered the login with a refusal, not a dropped line or a link
                // too plain to send the password over.
                m_loginRefused = m_pop.ReplyStatus().rfind("-ERR", 0) == 0;
            }
        }
    } catch (const PopError& e) {
        ReportPopFault(e);
        return false;
    }
    if (open) {
        m_commun.WaitingCount = std::max(0, m_pop.MessageCount());
    }
    return open;
}

// A mail fault that left a call: the account of the session and the fault's text.
void CheckCycle::ReportPopFault(const std::string& text) {
    const std::string name = m_commun.IsAccount(m_commun.PopAccount)
                                 ? m_commun.Account(m_commun.PopAccount).acc_name
                                 : "";
    m_status.ReportError(name + " " + text);
}

void CheckCycle::ReportPopFault(const PopError& e) {
    if (!e.Reported()) {
        ReportPopFault(e.what());
    }
}

// A refused greeting or a connection closed without a word is not reported by the client;
// the status line must still say why.
void CheckCycle::ReportUnexplainedFailure() {
    std::string reason = m_pop.ReplyStatus();
    const std::string text = m_pop.ReplyText();
    if (!text.empty()) {
        reason += (reason.empty() ? "" : " ") + text;
    }
    ReportPopFault(reason.empty() ? "no answer" : reason);
}

void CheckCycle::QuitSession() {
    try {
        m_pop.Quit();
    } catch (const PopError& e) {
        ReportPopFault(e);
    }
}

void CheckCycle::ShowNoValidAccount() {
    m_status.ReportError(kNoValidAccount);
    m_ticker.StatusText = kNoValidAccount;
    m_status.DrawStatus(m_ticker.StatusText);
    m_status.ShowFlagOrEnd(FlagPicture::NoMail, true);
    m_view.SetTrayIcon(TrayIcon::VrCon);
    m_status.DrawCount(m_commun.WaitingCount);
    m_status.ShowTrayToolTip();
    m_ticker.Pause();
}

void CheckCycle::TakeOfflineIfLineLost() {
    const auto entries = m_rasc.Entries();
    if (m_commun.Config.RAS_num < 0 ||
        m_commun.Config.RAS_num >= static_cast<int>(entries.size())) {
        return;
    }
    int state = 0;
    try {
        state = m_rasc.ConnectionState(entries[m_commun.Config.RAS_num]);
    } catch (const DialUpError& e) {
        m_view.ShowMessage(e.what());
        return;
    }
    if (state != DialUp::kConnected) {
        m_commun.IsConnected = false;
        m_timers.StopTimers();
        m_status.ShowConnectionState();
        if (state != DialUp::kDisconnected) {
            // The dialler still holds the line without a link: release it, or the entry stays
            // busy and can neither be dialled again nor hung up from a disconnected window.
            HangUpLine();
        }
    }
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
    if (m_guard.Busy()) {
        // The running check ends at once through its failure path; then the disconnect.
        AbortOperation();
        m_guard.DeferWhileBusy("disconnect", [this] { DisconnectClick(); });
        return;
    }
    if (!m_commun.IsConnected) {
        return;
    }
    m_timers.StopTimers();
    QuitSession();
    for (auto& account : m_commun.Tables.AccountTable) {
        account.LastCount = settings::kNotCheckedYet;
    }
    m_menu.NewsItems.clear();
    m_commun.WaitingCount = 0;
    m_commun.IsConnected = false;
    m_status.ShowConnectionState();
    if (m_commun.Config.RAS_connect) {
        HangUpLine();
    }
}

void CheckCycle::POPError(int /*error*/, const std::string& text) {
    const std::string name = m_commun.IsAccount(m_commun.PopAccount)
                                 ? m_commun.Account(m_commun.PopAccount).acc_name
                                 : "";
    m_status.ReportError(name + " " + m_pop.ReplyStatus() + " " + text);
}

void CheckCycle::AbortOperation() {
    m_guard.RequestAbort();
    m_pop.Abort();
}

bool CheckCycle::StopIfAborted() {
    if (m_guard.AbortRequested()) {
        ReportPopFault(kOperationCanceled);
    }
    return m_guard.AbortRequested();
}

void CheckCycle::POPRetrieveProgress(unsigned percent) {
    const unsigned shown = std::min(percent, 100u);
    const long long size = m_messageWindow ? m_messageWindow->CurrentMessageSize() : 0;
    const long long kilobytes = size / 1024;
    m_status.DrawStatus("reading " + std::to_string(shown) + "% sur " + std::to_string(kilobytes) +
                        "K");
}

}  // namespace monitor
