#pragma once
// The POP3 session of a check: aiming the client at an account, probing the server, counting
// the mailbox, ending the session, and reporting a fault with the account it happened on.
#include <functional>
#include <string>

#include "monitor/BusyGuard.h"
#include "monitor/Commun.h"
#include "monitor/Services.h"
#include "monitor/StatusDisplay.h"
#include "platform/EventPump.h"

namespace monitor {

// The reason of a check stopped by Disconnect or Exit before its session was opened.
inline constexpr const char* kOperationCanceled = "Operation canceled";

class PopSession {
public:
    // All must outlive the session; the client's error event is reported from here.
    PopSession(Commun& shared, PopClient& pop, platform::EventPump& pump, StatusDisplay& status,
               BusyGuard& guard);
    PopSession(const PopSession&) = delete;
    PopSession& operator=(const PopSession&) = delete;

    // Points the client at the server of account number, without the login.
    void AimAt(int number);
    // Reads the greeting only: is the server reachable at all? False, with the reason in
    // ErrorNotice, when it is not.
    bool ProbeServer();
    // One session on account number: connect, log in, count, quit. False when any step
    // failed; WaitingCount then keeps its value and ErrorNotice says why.
    // whileOpen runs in the open session after the count, before the goodbye.
    bool CheckAccount(int number, const std::function<void()>& whileOpen = {});
    // Connects to the server set on the client, logs in and counts the messages into
    // WaitingCount. True when the session is open; otherwise ErrorNotice may say why.
    bool OpenSession();
    // The number of messages the open session counted, never below 0.
    int MessageCount() const;
    // Ends the open session, if any; a failing goodbye is reported as an error.
    void QuitSession();
    // Asks the running operation to stop; a session it has not opened yet is not opened.
    void AbortOperation();
    // Why the last check of account failed, as short as the tray's tool tip wants it.
    std::string FailureReason(const settings::AccountRecord& account) const;

private:
    void POPError(const std::string& text);
    void ReportPopFault(const std::string& text);
    // A fault that left a call, unless the client's error event has reported it already.
    void ReportPopFault(const PopError& e);
    void ReportUnexplainedFailure();
    // The password of the session's account is known, read from the keyring if need be;
    // false, with the keyring's reason reported, when the keyring could not give it.
    bool PasswordKnown();
    // True, with the reason reported, when the running operation was asked to stop.
    bool StopIfAborted();

    Commun& m_commun;
    PopClient& m_pop;
    platform::EventPump& m_pump;
    StatusDisplay& m_status;
    BusyGuard& m_guard;
    // The last OpenSession failed because the server refused the login.
    bool m_loginRefused = false;
};

}  // namespace monitor
