#pragma once
// The SMTP client `QMail` as the reply composer sends through it. The desktop program and the
// tools give an adapter over TQelSMTP; it serves the composer only.
#include <functional>
#include <string>

#include "mail/QelMsg.h"

namespace msgwindow {

class SmtpClient {
public:
    virtual ~SmtpClient() = default;
    virtual void SetServer(const std::string& host, const std::string& port) = 0;
    // The outgoing server's security: tls_mode, pinned fingerprint and token command as stored.
    virtual void SetSecurity(const std::string& tlsMode, const std::string& fingerprint,
                             const std::string& oauthCommand) = 0;
    // Opens the session and logs in as user when the server asks for it; no login without a
    // user. The password goes with the call; the client keeps neither. A failure is reported
    // through OnError and Failed.
    virtual void Connect(const std::string& user, const std::string& password) = 0;
    // True when every transaction was accepted. Raises std::exception with the text to show
    // for a message refused before anything is sent: no sender or recipient, a bad address,
    // an attachment that cannot be read.
    virtual bool SendMessage(mail::TQelMsg& message) = 0;
    virtual void Quit() = 0;
    virtual bool Failed() const = 0;
    // Asks the running send to stop; the request lasts until the next Connect.
    virtual void Abort() = 0;
    virtual bool AbortRequested() const = 0;

    std::function<void()> OnBeforeSend;
    // Send progress in percent.
    std::function<void(unsigned)> OnSendProgress;
    std::function<void()> OnAfterSend;
    // Error event: (error number, text).
    std::function<void(int, const std::string&)> OnError;
};

}  // namespace msgwindow
