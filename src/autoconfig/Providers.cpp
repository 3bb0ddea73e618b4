#include "autoconfig/Providers.h"

#include <initializer_list>
#include <string_view>
#include <vector>

namespace autoconfig {

namespace {

struct Endpoint {
    std::string_view Host;  // empty: the service is not offered
    std::uint16_t Port;
    Security Mode;
};

struct Provider {
    std::string_view Name;
    // The mail domains of the provider's users, then the domains of its mail servers.
    std::vector<std::string_view> Domains;
    Endpoint Pop3;
    Endpoint Smtp;
    bool OAuth2;
    // Given only for a provider without POP3, which is then set up for IMAP.
    Endpoint Imap = {};
};

// From the providers' help pages. Every one of them takes the whole address as the login.
const std::vector<Provider>& Providers() {
    static const std::vector<Provider> providers = {
        {"Gmail",
         {"gmail.com", "googlemail.com", "google.com"},
         {"pop.gmail.com", 995, Security::Tls},
         {"smtp.gmail.com", 465, Security::Tls},
         true},
        {"Outlook.com",
         {"outlook.com",  "hotmail.com", "live.com",   "msn.com",    "passport.com",
          "outlook.de",   "outlook.fr",  "outlook.es", "outlook.it", "hotmail.co.uk",
          "hotmail.fr",   "hotmail.de",  "hotmail.it", "hotmail.es", "live.co.uk",
          "live.fr",      "live.de",     "live.it",    "live.nl",    "windowslive.com",
          "office365.com"},
         {"outlook.office365.com", 995, Security::Tls},
         {"smtp-mail.outlook.com", 587, Security::StartTls},
         true},
        {"Yahoo",
         {"yahoo.com", "ymail.com", "rocketmail.com", "yahoo.co.uk", "yahoo.fr", "yahoo.de",
          "yahoo.it", "yahoo.es", "yahoo.ca", "yahoo.com.au", "yahoo.co.jp", "yahoo.com.br",
          "yahoodns.net"},
         {"pop.mail.yahoo.com", 995, Security::Tls},
         {"smtp.mail.yahoo.com", 465, Security::Tls},
         false},
        {"AOL",
         {"aol.com", "aim.com", "aol.de", "aol.fr", "aol.co.uk"},
         {"pop.aol.com", 995, Security::Tls},
         {"smtp.aol.com", 465, Security::Tls},
         false},
        {"iCloud",
         {"icloud.com", "me.com", "mac.com"},
         {"", 0, Security::Tls},
         {"smtp.mail.me.com", 587, Security::StartTls},
         false,
         {"imap.mail.me.com", 993, Security::Tls}},
        {"GMX",
         {"gmx.net", "gmx.de", "gmx.at", "gmx.ch"},
         {"pop.gmx.net", 995, Security::Tls},
         {"mail.gmx.net", 465, Security::Tls},
         false},
        {"GMX",
         {"gmx.com", "gmx.co.uk", "gmx.fr", "gmx.es", "gmx.us", "mail.com"},
         {"pop.gmx.com", 995, Security::Tls},
         {"mail.gmx.com", 465, Security::Tls},
         false},
        {"WEB.DE",
         {"web.de"},
         {"pop3.web.de", 995, Security::Tls},
         {"smtp.web.de", 587, Security::StartTls},
         false},
        {"T-Online",
         {"t-online.de", "magenta.de"},
         {"securepop.t-online.de", 995, Security::Tls},
         {"securesmtp.t-online.de", 465, Security::Tls},
         false},
        {"Mail.ru",
         {"mail.ru", "inbox.ru", "list.ru", "bk.ru", "internet.ru", "mail.ua"},
         {"pop.mail.ru", 995, Security::Tls},
         {"smtp.mail.ru", 465, Security::Tls},
         false},
        {"Yandex",
         {"yandex.ru", "yandex.com", "ya.ru", "yandex.by", "yandex.kz", "yandex.ua",
          "yandex.com.tr", "narod.ru", "yandex.net"},
         {"pop.yandex.com", 995, Security::Tls},
         {"smtp.yandex.com", 465, Security::Tls},
         false},
        {"Zoho",
         {"zoho.com", "zohomail.com"},
         {"pop.zoho.com", 995, Security::Tls},
         {"smtp.zoho.com", 465, Security::Tls},
         false},
        {"Zoho",
         {"zoho.eu", "zohomail.eu"},
         {"pop.zoho.eu", 995, Security::Tls},
         {"smtp.zoho.eu", 465, Security::Tls},
         false},
        {"Fastmail",
         {"fastmail.com", "fastmail.fm", "fastmail.net", "fastmail.org", "messagingengine.com"},
         {"pop.fastmail.com", 995, Security::Tls},
         {"smtp.fastmail.com", 465, Security::Tls},
         false},
    };
    return providers;
}

std::optional<Server> ServerOf(const Endpoint& endpoint, const Address& address) {
    if (endpoint.Host.empty())
        return std::nullopt;
    return Server{std::string(endpoint.Host), endpoint.Port, endpoint.Mode, address.Whole};
}

const Provider* Find(const std::string& domain) {
    const std::string name = Lower(domain);
    for (const Provider& provider : Providers())
        for (std::string_view known : provider.Domains)
            if (name == known)
                return &provider;
    return nullptr;
}

}  // namespace

std::optional<Found> KnownProvider(const std::string& domain, const Address& address) {
    const Provider* provider = Find(domain);
    if (provider == nullptr)
        return std::nullopt;
    Found found;
    found.From = Source::Builtin;
    found.Pop3 = ServerOf(provider->Pop3, address);
    if (!found.Pop3)
        found.Imap = ServerOf(provider->Imap, address);
    found.Smtp = ServerOf(provider->Smtp, address);
    found.OAuth2 = provider->OAuth2;
    if (!found.Incoming())
        found.Note =
            std::string(provider->Name) + " offers neither POP3 nor IMAP access to its mailboxes.";
    return found;
}

bool IsKnownProviderHost(const std::string& host) {
    for (const Provider& provider : Providers()) {
        for (const Endpoint* endpoint : {&provider.Pop3, &provider.Smtp, &provider.Imap})
            if (!endpoint->Host.empty() && Lower(host) == endpoint->Host)
                return true;
        for (std::string_view domain : provider.Domains)
            if (IsWithin(host, std::string(domain)))
                return true;
    }
    return false;
}

}  // namespace autoconfig
