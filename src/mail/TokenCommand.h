#pragma once
// The access token of an OAuth2 login, from the user's own command: the first line it prints.
#include <cstdint>
#include <string>

#include "mail/QelTransport.h"
#include "platform/EventPump.h"

namespace mail {

// Runs command through /bin/sh, waiting in slices with the pump between them, at most
// timeoutMs. Returns the first line of its output, trimmed. Raises MailError with a text that
// names no token when the command cannot start, fails, prints nothing or takes too long; a
// command still running then is killed.
std::string RunTokenCommand(const std::string& command, std::uint32_t timeoutMs,
                            platform::EventPump& pump, Clock& clock = SteadyClock::Instance());

// The XOAUTH2 initial response (user, bearer token) in base64.
std::string XOAuth2Response(const std::string& user, const std::string& token);

// base64 of bytes on one line.
std::string Base64Line(const std::string& bytes);

}  // namespace mail
