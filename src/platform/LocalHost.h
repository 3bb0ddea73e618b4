#pragma once
#include <string>

namespace platform {

// The name of this machine as the socket layer reports it; empty when it cannot be read.
std::string LocalHostName();

// The first IPv4 address that the local host name resolves to, in dotted form
// ("127.0.1.1"); empty when the name does not resolve.
std::string LocalHostAddress();

}  // namespace platform
