#pragma once
// vorla-setup ADDRESS: finds the POP3 (or IMAP) and SMTP settings of an address and prints them.
#include <ostream>
#include <string>
#include <vector>

#include "autoconfig/Search.h"
#include "autoconfig/Settings.h"

namespace setuptool {

// The lines "source:", "pop3:", "smtp:" (when found) and "oauth2:"; for an IMAP server,
// "protocol: imap" and "imap:" instead of "pop3:".
void PrintFound(const autoconfig::Found& found, std::ostream& out);

// Exit code 0 when settings were found, 1 when not ("not found"), 2 for a wrong call.
int Run(const std::vector<std::string>& args, const autoconfig::SearchOptions& options,
        std::ostream& out, std::ostream& err);

}  // namespace setuptool
