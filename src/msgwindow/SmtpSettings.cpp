#include "msgwindow/SmtpSettings.h"

#include "mail/TlsTransport.h"

namespace msgwindow {

void ConfigureSmtp(mail::TQelSMTP& smtp, const settings::Config& config,
                   const settings::AccountRecord* sender) {
    smtp.Host = config.smtphost;
    smtp.Port = std::to_string(config.smtpport);
    smtp.Security = mail::ParseTlsMode(config.smtp_tls_mode);
    smtp.TlsFingerprint = config.smtp_tls_fingerprint;
    // Without an identity nothing logs in; a server that asks for AUTH then refuses the send.
    smtp.UserId = sender ? sender->user_name : "";
    smtp.UserPasswd = sender ? sender->password : "";
    smtp.OAuthCommand = sender ? sender->oauth_command : "";
}

}  // namespace msgwindow
