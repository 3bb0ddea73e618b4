#pragma once
// The reply composer's view of its SMTP client over the real one, TQelSMTP.
#include "mail/QelSMTP.h"
#include "msgwindow/SmtpClient.h"

namespace app {

// Borrows the client and takes over its events; its errors pass through as they are.
class QelSmtpClient final : public msgwindow::SmtpClient {
public:
    explicit QelSmtpClient(mail::TQelSMTP& smtp);
    void SetServer(const std::string& host, const std::string& port) override;
    void SetSecurity(const std::string& tlsMode, const std::string& fingerprint,
                     const std::string& oauthCommand) override;
    void Connect(const std::string& user, const std::string& password) override {
        m_smtp.Connect(user, password);
    }
    bool SendMessage(mail::TQelMsg& message) override { return m_smtp.SendMessage(message); }
    void Quit() override { m_smtp.Quit(); }
    bool Failed() const override { return m_smtp.Failed; }
    void Abort() override { m_smtp.AbortRequested = true; }
    bool AbortRequested() const override { return m_smtp.AbortRequested; }

private:
    mail::TQelSMTP& m_smtp;
};

}  // namespace app
