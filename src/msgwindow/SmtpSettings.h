#pragma once
// Points the SMTP client at the outgoing server of the settings, with its security, and logs
// in as the account whose identity sends.
#include "msgwindow/SmtpClient.h"
#include "settings/Config.h"
#include "settings/Tables.h"

namespace msgwindow {

void ConfigureSmtp(SmtpClient& smtp, const settings::Config& config,
                   const settings::AccountRecord* sender);

// Opens the session with the sender's login; without a sender nothing logs in, and a server
// that asks for AUTH then refuses the send.
void ConnectAs(SmtpClient& smtp, const settings::AccountRecord* sender);

}  // namespace msgwindow
