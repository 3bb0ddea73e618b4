#pragma once
// What a search for an account's settings finds: the POP3 server (or, for a provider without
// POP3, the IMAP server), the SMTP server when one was found, and where the answer came from.
#include <cstdint>
#include <optional>
#include <string>

namespace autoconfig {

enum class Security { Tls, StartTls, Off };

// "tls", "starttls" or "off": the words of the stored security modes.
const char* SecurityWord(Security security);

struct Server {
    std::string Host;
    std::uint16_t Port = 0;
    Security Mode = Security::Tls;
    std::string Login;
};

enum class Source { Autoconfig, Builtin, Srv, Mx, Guess };

// "autoconfig", "builtin", "srv", "mx" or "guess".
const char* SourceWord(Source source);

struct Found {
    Source From = Source::Autoconfig;
    std::optional<Server> Pop3;
    // Only when no POP3 server was found: POP3 is preferred wherever both are offered.
    std::optional<Server> Imap;
    std::optional<Server> Smtp;
    bool OAuth2 = false;
    // A server lies outside the address' domain and outside the known providers.
    bool Foreign = false;
    // Said instead of settings: a known provider without POP3 or IMAP.
    std::string Note;

    // The server mail is read from, POP3 or IMAP; null when neither was found.
    const Server* Incoming() const { return Pop3 ? &*Pop3 : Imap ? &*Imap : nullptr; }
};

}  // namespace autoconfig
