#pragma once
// The search for an account's POP3 and SMTP settings from its e-mail address: the provider's
// autoconfig file, the known providers, DNS SRV records, the domain's MX records, and at last
// the usual server names, probed. Each step offers IMAP where it finds no POP3. Safe to run on
// a worker thread; every step is bounded.
#include <atomic>
#include <chrono>
#include <optional>
#include <string>

#include "autoconfig/Address.h"
#include "autoconfig/Probe.h"
#include "autoconfig/Settings.h"

namespace autoconfig {

struct SearchOptions {
    // Non-empty: the autoconfig files are fetched from BASE/autoconfig.DOMAIN/... and
    // BASE/DOMAIN/.well-known/..., plain HTTP allowed (for tests).
    std::string AutoconfigBase;
    // "IP:PORT": every DNS lookup, probes' included, goes to that server (for tests).
    std::string DnsServer;
    std::chrono::milliseconds FetchTime{10000};
    std::chrono::milliseconds DnsTime{3000};
    std::chrono::milliseconds TotalTime{20000};
    ProbeTimes Probes;
    // The ports the guess tries: implicit TLS, then the plain port with STLS/STARTTLS.
    std::uint16_t Pop3TlsPort = 995;
    std::uint16_t Pop3Port = 110;
    std::uint16_t SmtpTlsPort = 465;
    std::uint16_t SubmissionPort = 587;
    // Tried only when no POP3 server answers.
    std::uint16_t ImapTlsPort = 993;
    std::uint16_t ImapPort = 143;

    // The test hooks VORLA_AUTOCONFIG_BASE and VORLA_DNS_SERVER taken from the environment.
    static SearchOptions FromEnvironment();
};

// The two addresses of the domain's autoconfig file, in the order they are tried.
std::vector<std::string> AutoconfigUrls(const std::string& base, const std::string& domain,
                                        const Address& address);

// The settings found for the address, or nothing. Raising stop ends the search early with
// nothing.
std::optional<Found> FindSettings(const Address& address, const SearchOptions& options,
                                  const std::atomic<bool>& stop);

}  // namespace autoconfig
