#pragma once
#include <string>

namespace platform {

// The name of this machine as the socket layer reports it; empty when it cannot be read.
std::string LocalHostName();

// The last IPv4 address that the lookup of the local host name returns, in dotted form
// ("127.0.1.1"); empty when the name does not resolve.
std::string LocalHostAddress();

}  // namespace platform
