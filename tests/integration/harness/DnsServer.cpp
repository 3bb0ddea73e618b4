#include "DnsServer.h"

#include "Files.h"

namespace harness {

DnsServer::DnsServer(const std::string& zone) : PythonServer("vorla-dns-") {
    testsupport::WriteFile(m_folder + "/zone.txt", zone);
    Launch("DNS server", "dns_server.py", {"--zone", m_folder + "/zone.txt"});
}

}  // namespace harness
