#pragma once
// The DNS lookups of the search (SRV, MX and host addresses) through c-ares, each bounded in
// time and ended early when the search is stopped.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "mail/PosixTransport.h"

namespace autoconfig {

struct SrvRecord {
    std::uint16_t Priority = 0;
    std::uint16_t Weight = 0;
    std::uint16_t Port = 0;
    std::string Target;  // "." or empty: the service is not offered
};

// The records in the order to try them: lowest priority first and, within one priority, the
// heaviest weight first (a fixed order instead of a weighted draw, so that a search always
// gives the same answer). Records that declare the service absent are left out.
std::vector<SrvRecord> OrderSrv(std::vector<SrvRecord> records);

struct MxRecord {
    std::uint16_t Preference = 0;
    std::string Host;
};

class DnsLookup {
public:
    // server: "IP:PORT" to ask that server alone, or empty for the system's resolver settings.
    // Every lookup ends within timeout, or soon after stop is raised.
    DnsLookup(std::string server, std::chrono::milliseconds timeout, const std::atomic<bool>& stop);

    // Empty when the name has no such records or the lookup failed.
    std::vector<SrvRecord> Srv(const std::string& name) const;
    // Sorted by preference, best first.
    std::vector<MxRecord> Mx(const std::string& domain) const;
    // The IPv4 addresses of the host.
    mail::LookupResult Addresses(const std::string& host, std::uint16_t port) const;

private:
    std::string m_server;
    std::chrono::milliseconds m_timeout;
    const std::atomic<bool>& m_stop;
};

// The probes' name lookups sent to one DNS server, for tests that run their own.
class DnsNameResolver final : public mail::NameResolver {
public:
    // lookup must outlive the resolver and every lookup it started.
    explicit DnsNameResolver(const DnsLookup& lookup) : m_lookup(lookup) {}
    std::future<mail::LookupResult> Lookup(const std::string& hostName,
                                           std::uint16_t port) override;

private:
    const DnsLookup& m_lookup;
};

}  // namespace autoconfig
