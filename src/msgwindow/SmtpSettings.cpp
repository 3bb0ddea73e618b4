#include "msgwindow/SmtpSettings.h"

#include <string>

namespace msgwindow {

void ConfigureSmtp(SmtpClient& smtp, const settings::Config& config,
                   const settings::AccountRecord* sender) {
    smtp.SetServer(config.smtphost, std::to_string(config.smtpport));
    smtp.SetSecurity(config.smtp_tls_mode, config.smtp_tls_fingerprint,
                     sender ? sender->oauth_command : "");
}

void ConnectAs(SmtpClient& smtp, const settings::AccountRecord* sender) {
    // References, not copies: the password is handed on without another string to clear.
    static const std::string kNobody;
    smtp.Connect(sender ? sender->user_name : kNobody, sender ? sender->password : kNobody);
}

}  // namespace msgwindow
