#pragma once
// The last step of the search: usual server names tried with the program's own POP3 and SMTP
// clients, several at once.
#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "autoconfig/Settings.h"
#include "mail/QelTransport.h"

namespace autoconfig {

enum class Protocol { Pop3, Imap, Smtp };

struct ProbeTarget {
    std::string Host;
    std::uint16_t Port = 0;
    Security Mode = Security::Tls;
};

struct ProbeTimes {
    std::chrono::milliseconds Each{3000};    // one probe, connection to answer
    std::chrono::milliseconds Stagger{300};  // between the starts of two probes
};

// Whether the server answers as the protocol with the security: a POP3 greeting over TLS, or
// one whose CAPA offers STLS; an IMAP greeting over TLS, or one whose CAPABILITY offers
// STARTTLS; an SMTP greeting over TLS, or one that takes STARTTLS. No credentials are sent.
// Ends early when stop is raised.
bool Answers(Protocol protocol, const ProbeTarget& target, mail::TransportFactory& factory,
             std::chrono::milliseconds timeout, const std::atomic<bool>& stop);

// The targets probed in their order, each started Stagger after the one before and all
// running together; the first to answer wins and the others are stopped. Nothing when none
// answers or stop is raised.
std::optional<ProbeTarget> FirstAnswering(Protocol protocol,
                                          const std::vector<ProbeTarget>& targets,
                                          mail::TransportFactory& factory, ProbeTimes times,
                                          const std::atomic<bool>& stop);

}  // namespace autoconfig
