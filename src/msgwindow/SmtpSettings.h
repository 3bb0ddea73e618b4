#pragma once
// Points the SMTP client at the outgoing server of the settings, with its security, and logs
// in as the account whose identity sends.
#include "mail/QelSMTP.h"
#include "settings/Config.h"
#include "settings/Tables.h"

namespace msgwindow {

void ConfigureSmtp(mail::TQelSMTP& smtp, const settings::Config& config,
                   const settings::AccountRecord* sender);

}  // namespace msgwindow
