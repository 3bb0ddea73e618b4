#include "autoconfig/Search.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "autoconfig/ClientConfig.h"
#include "autoconfig/Dns.h"
#include "autoconfig/Providers.h"
#include "mail/PosixTransport.h"
#include "net/TextFetch.h"

namespace autoconfig {

namespace {

using Clock = std::chrono::steady_clock;

std::string QueryEscape(const std::string& text) {
    static const char* const hex = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
            escaped += c;
        } else {
            escaped += '%';
            escaped += hex[byte >> 4];
            escaped += hex[byte & 15];
        }
    }
    return escaped;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

class Search {
public:
    Search(const Address& address, const SearchOptions& options, const std::atomic<bool>& stop)
        : m_address(address),
          m_options(options),
          m_stop(stop),
          m_deadline(Clock::now() + options.TotalTime) {}

    std::optional<Found> Run() {
        for (auto step : {&Search::FromAutoconfig, &Search::FromProviders, &Search::FromSrv,
                          &Search::FromMx, &Search::FromGuess}) {
            if (Over())
                return std::nullopt;
            if (std::optional<Found> found = (this->*step)()) {
                MarkForeign(*found);
                return Over() ? std::nullopt : found;
            }
        }
        return std::nullopt;
    }

private:
    bool Over() const { return m_stop || Clock::now() >= m_deadline; }

    std::chrono::milliseconds Within(std::chrono::milliseconds bound) const {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now());
        return std::max(std::chrono::milliseconds(1), std::min(bound, left));
    }

    std::optional<Found> Autoconfig(const std::string& domain) const {
        for (const std::string& url : AutoconfigUrls(m_options.AutoconfigBase, domain, m_address)) {
            if (Over())
                return std::nullopt;
            net::TextRequest request;
            request.URL = url;
            request.AllowPlainHttp = !m_options.AutoconfigBase.empty();
            request.Deadline = Within(m_options.FetchTime);
            request.SizeLimit = kMaxConfigBytes;
            if (const auto text = net::FetchText(request, m_stop))
                if (auto found = ParseClientConfig(*text, m_address))
                    return found;
        }
        return std::nullopt;
    }

    std::optional<Found> FromAutoconfig() { return Autoconfig(m_address.Domain); }

    std::optional<Found> FromProviders() { return KnownProvider(m_address.Domain, m_address); }

    DnsLookup Dns() const {
        return DnsLookup(m_options.DnsServer, Within(m_options.DnsTime), m_stop);
    }

    // The first usable record of the TLS service, else of the plain one with its upgrade.
    std::optional<Server> FromSrvPair(const std::string& tlsService,
                                      const std::string& plainService, Security upgrade) const {
        for (const auto& [service, mode] :
             {std::pair{tlsService, Security::Tls}, std::pair{plainService, upgrade}}) {
            const auto records = OrderSrv(Dns().Srv(service + "._tcp." + m_address.Domain));
            for (const SrvRecord& record : records)
                if (IsHostName(record.Target) && record.Port != 0)
                    return Server{Lower(record.Target), record.Port, mode, m_address.Whole};
        }
        return std::nullopt;
    }

    std::optional<Found> FromSrv() {
        Found found;
        found.From = Source::Srv;
        found.Pop3 = FromSrvPair("_pop3s", "_pop3", Security::StartTls);
        if (!found.Pop3)
            found.Imap = FromSrvPair("_imaps", "_imap", Security::StartTls);
        if (!found.Incoming())
            return std::nullopt;
        found.Smtp = FromSrvPair("_submissions", "_submission", Security::StartTls);
        return found;
    }

    std::optional<Found> FromMx() {
        const auto records = Dns().Mx(m_address.Domain);
        if (records.empty())
            return std::nullopt;
        const std::string domain = RegistrableDomain(records.front().Host);
        if (domain.empty() || domain == m_address.Domain)
            return std::nullopt;
        std::optional<Found> found = KnownProvider(domain, m_address);
        if (!found)
            found = Autoconfig(domain);
        if (!found)
            return std::nullopt;
        found->From = Source::Mx;
        // A domain hosted by a provider logs in with its own whole address.
        for (auto* server : {&found->Pop3, &found->Imap, &found->Smtp})
            if (*server)
                (*server)->Login = m_address.Whole;
        return found;
    }

    std::vector<ProbeTarget> Targets(const std::vector<std::string>& names, std::uint16_t tlsPort,
                                     std::uint16_t plainPort) const {
        std::vector<ProbeTarget> targets;
        for (const auto& [port, mode] :
             {std::pair{tlsPort, Security::Tls}, std::pair{plainPort, Security::StartTls}})
            for (const std::string& name : names)
                targets.push_back({name + "." + m_address.Domain, port, mode});
        return targets;
    }

    std::optional<Server> Probe(Protocol protocol, const std::vector<ProbeTarget>& targets) {
        mail::SystemResolver& system = mail::SystemResolver::Instance();
        DnsLookup dns(m_options.DnsServer, Within(m_options.DnsTime), m_stop);
        DnsNameResolver ownServer(dns);
        mail::NameResolver& resolver =
            m_options.DnsServer.empty() ? static_cast<mail::NameResolver&>(system) : ownServer;
        mail::PosixTransportFactory factory(resolver);
        ProbeTimes times = m_options.Probes;
        times.Each = Within(times.Each);
        const auto target = FirstAnswering(protocol, targets, factory, times, m_stop);
        if (!target)
            return std::nullopt;
        return Server{target->Host, target->Port, target->Mode, m_address.Whole};
    }

    std::optional<Found> FromGuess() {
        Found found;
        found.From = Source::Guess;
        found.Pop3 = Probe(Protocol::Pop3, Targets({"pop", "pop3", "mail"}, m_options.Pop3TlsPort,
                                                   m_options.Pop3Port));
        if (!found.Pop3 && !Over())
            found.Imap = Probe(Protocol::Imap, Targets({"imap", "mail"}, m_options.ImapTlsPort,
                                                       m_options.ImapPort));
        if (!found.Incoming() || Over())
            return std::nullopt;
        found.Smtp = Probe(Protocol::Smtp, Targets({"smtp", "mail"}, m_options.SmtpTlsPort,
                                                   m_options.SubmissionPort));
        return found;
    }

    void MarkForeign(Found& found) const {
        for (const auto* server : {&found.Pop3, &found.Imap, &found.Smtp})
            if (*server && !IsWithin((*server)->Host, m_address.Domain) &&
                !IsKnownProviderHost((*server)->Host))
                found.Foreign = true;
    }

    const Address& m_address;
    const SearchOptions& m_options;
    const std::atomic<bool>& m_stop;
    const Clock::time_point m_deadline;
};

}  // namespace

SearchOptions SearchOptions::FromEnvironment() {
    SearchOptions options;
    options.AutoconfigBase = Environment("VORLA_AUTOCONFIG_BASE");
    while (!options.AutoconfigBase.empty() && options.AutoconfigBase.back() == '/')
        options.AutoconfigBase.pop_back();
    options.DnsServer = Environment("VORLA_DNS_SERVER");
    return options;
}

std::vector<std::string> AutoconfigUrls(const std::string& base, const std::string& domain,
                                        const Address& address) {
    const std::string query = "?emailaddress=" + QueryEscape(address.Whole);
    if (base.empty())
        return {"https://autoconfig." + domain + "/mail/config-v1.1.xml" + query,
                "https://" + domain + "/.well-known/autoconfig/mail/config-v1.1.xml"};
    return {base + "/autoconfig." + domain + "/mail/config-v1.1.xml" + query,
            base + "/" + domain + "/.well-known/autoconfig/mail/config-v1.1.xml"};
}

std::optional<Found> FindSettings(const Address& address, const SearchOptions& options,
                                  const std::atomic<bool>& stop) {
    return Search(address, options, stop).Run();
}

}  // namespace autoconfig
