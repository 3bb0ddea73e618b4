#include "monitor/PopSession.h"

#include <algorithm>

#include "settings/AccountKeyring.h"
#include "settings/LineReader.h"

namespace monitor {

PopSession::PopSession(Commun& shared, PopClient& pop, platform::EventPump& pump,
                       StatusDisplay& status, BusyGuard& guard)
    : m_commun(shared), m_pop(pop), m_pump(pump), m_status(status), m_guard(guard) {
    m_pop.OnError = [this](int /*error*/, const std::string& text) { POPError(text); };
}

void PopSession::AimAt(int number) {
    const auto& account = m_commun.Account(number);
    m_pop.SetServer(account.host_name, std::to_string(account.port_number));
    m_pop.SetSecurity(account.tls_mode, account.tls_fingerprint, account.oauth_command);
    m_pop.SetMailbox(account.protocol, account.folder, account.imap_count == "all");
    m_commun.PopAccount = number;
}

bool PopSession::ProbeServer() {
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

bool PopSession::CheckAccount(int number, const std::function<void()>& whileOpen) {
    const auto& account = m_commun.Account(number);
    AimAt(number);
    m_status.DrawStatus("checking " + account.acc_name);
    m_loginRefused = false;
    m_pump.ProcessMessages();
    if (StopIfAborted()) {
        return false;
    }
    const PopTimeLimit limit(m_pop);
    const bool ok = OpenSession();
    if (ok) {
        if (whileOpen) {
            whileOpen();
        }
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

bool PopSession::OpenSession() {
    bool open = false;
    m_loginRefused = false;
    // Asked before the server: without a password there is nothing to log in with.
    if (!PasswordKnown()) {
        return false;
    }
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
        m_commun.WaitingCount = MessageCount();
    }
    return open;
}

int PopSession::MessageCount() const {
    return std::max(0, m_pop.MessageCount());
}

void PopSession::QuitSession() {
    try {
        m_pop.Quit();
    } catch (const PopError& e) {
        ReportPopFault(e);
    }
}

void PopSession::AbortOperation() {
    m_guard.RequestAbort();
    m_pop.Abort();
}

std::string PopSession::FailureReason(const settings::AccountRecord& account) const {
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

void PopSession::POPError(const std::string& text) {
    const std::string name =
        m_commun.IsAccount(m_commun.PopAccount) ? m_commun.Account(m_commun.PopAccount).acc_name
                                               : "";
    m_status.ReportError(name + " " + m_pop.ReplyStatus() + " " + text);
}

// A mail fault that left a call: the account of the session and the fault's text.
void PopSession::ReportPopFault(const std::string& text) {
    const std::string name =
        m_commun.IsAccount(m_commun.PopAccount) ? m_commun.Account(m_commun.PopAccount).acc_name
                                               : "";
    m_status.ReportError(name + " " + text);
}

void PopSession::ReportPopFault(const PopError& e) {
    if (!e.Reported()) {
        ReportPopFault(e.what());
    }
}

// A refused greeting or a connection closed without a word is not reported by the client;
// the status line must still say why.
void PopSession::ReportUnexplainedFailure() {
    std::string reason = m_pop.ReplyStatus();
    const std::string text = m_pop.ReplyText();
    if (!text.empty()) {
        reason += (reason.empty() ? "" : " ") + text;
    }
    ReportPopFault(reason.empty() ? "no answer" : reason);
}

bool PopSession::PasswordKnown() {
    if (!m_commun.IsAccount(m_commun.PopAccount)) {
        return true;
    }
    settings::AccountRecord& account = m_commun.Account(m_commun.PopAccount);
    // A token login sends no password.
    if (!account.keyring_unread || !account.oauth_command.empty()) {
        return true;
    }
    const platform::SecretReply reply =
        m_commun.Secrets ? settings::LoadKeyringPassword(account, *m_commun.Secrets)
                         : platform::SecretReply{platform::SecretStatus::Unavailable,
                                                 "this program has no keyring"};
    if (!reply.Ok()) {
        ReportPopFault(settings::KeyringErrorText(reply));
    }
    return reply.Ok();
}

bool PopSession::StopIfAborted() {
    if (m_guard.AbortRequested()) {
        ReportPopFault(kOperationCanceled);
    }
    return m_guard.AbortRequested();
}

}  // namespace monitor
