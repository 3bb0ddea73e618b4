#include "autoconfig/ClientConfig.h"

#include <pugixml.hpp>

#include <array>
#include <charconv>
#include <string>

namespace autoconfig {

namespace {

struct Candidate {
    Server Settings;
    bool OAuth2 = false;
};

std::optional<Security> SocketType(const std::string& type) {
    const std::string word = Lower(type);
    if (word == "ssl" || word == "tls")
        return Security::Tls;
    if (word == "starttls")
        return Security::StartTls;
    if (word == "plain")
        return Security::Off;
    return std::nullopt;
}

std::optional<std::uint16_t> PortNumber(const std::string& text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::string Text(const pugi::xml_node& server, const char* child) {
    return server.child(child).text().as_string();
}

std::optional<Candidate> ReadServer(const pugi::xml_node& server, const Address& address) {
    const auto mode = SocketType(Text(server, "socketType"));
    const auto port = PortNumber(Text(server, "port"));
    Candidate candidate;
    candidate.Settings.Host = Lower(ExpandPlaceholders(Text(server, "hostname"), address));
    if (!mode || !port || !IsHostName(candidate.Settings.Host))
        return std::nullopt;
    candidate.Settings.Port = *port;
    candidate.Settings.Mode = *mode;
    candidate.Settings.Login = ExpandPlaceholders(Text(server, "username"), address);
    if (candidate.Settings.Login.empty())
        candidate.Settings.Login = address.Whole;
    for (const pugi::xml_node& auth : server.children("authentication"))
        candidate.OAuth2 = candidate.OAuth2 || Lower(auth.text().as_string()) == "oauth2";
    return candidate;
}

// The first server of the type in the order of preference of its security.
std::optional<Candidate> Choose(const pugi::xml_node& provider, const char* element,
                                const char* type, const Address& address) {
    std::array<std::optional<Candidate>, 3> firstOf;  // by Security: Tls, StartTls, Off
    for (const pugi::xml_node& server : provider.children(element)) {
        if (Lower(server.attribute("type").as_string()) != type)
            continue;
        if (auto candidate = ReadServer(server, address)) {
            auto& slot = firstOf[static_cast<std::size_t>(candidate->Settings.Mode)];
            if (!slot)
                slot = std::move(candidate);
        }
    }
    for (auto& candidate : firstOf)
        if (candidate)
            return candidate;
    return std::nullopt;
}

}  // namespace

std::optional<Found> ParseClientConfig(std::string_view xml, const Address& address) {
    if (xml.size() > kMaxConfigBytes)
        return std::nullopt;
    pugi::xml_document document;
    // No DOCTYPE processing: pugixml expands no external or user-defined entities.
    if (!document.load_buffer(xml.data(), xml.size(), pugi::parse_default))
        return std::nullopt;
    const pugi::xml_node provider = document.child("clientConfig").child("emailProvider");
    auto incoming = Choose(provider, "incomingServer", "pop3", address);
    const bool pop3 = incoming.has_value();
    if (!pop3)
        incoming = Choose(provider, "incomingServer", "imap", address);
    if (!incoming)
        return std::nullopt;
    Found found;
    found.From = Source::Autoconfig;
    (pop3 ? found.Pop3 : found.Imap) = incoming->Settings;
    found.OAuth2 = incoming->OAuth2;
    if (const auto smtp = Choose(provider, "outgoingServer", "smtp", address))
        found.Smtp = smtp->Settings;
    return found;
}

}  // namespace autoconfig
