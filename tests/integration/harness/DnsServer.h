#pragma once
// A private DNS server on 127.0.0.1 for tests (python3-dnslib through dns_server.py): it
// answers from the zone it is given and from nothing else.
#include <string>

#include "PythonServer.h"

namespace harness {

class DnsServer : public PythonServer {
public:
    // zone: records in master-file form, one a line, names ending in ".". Throws
    // std::runtime_error when the server does not report its port.
    explicit DnsServer(const std::string& zone);
    // "127.0.0.1:PORT", as VORLA_DNS_SERVER takes it.
    std::string Address() const { return "127.0.0.1:" + std::to_string(Port()); }
};

}  // namespace harness
