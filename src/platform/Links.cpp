#include "platform/Links.h"

#include <cstring>

namespace platform {

namespace {

bool IsAlphaDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsAtext(char c) {
    return IsAlphaDigit(c) || (c != '\0' && std::strchr("!#$%&'*+-/=?^_`{|}~", c) != nullptr);
}

bool IsVisible(char c) {
    return c >= 0x21 && c <= 0x7e;
}

// Runs of atext joined by single dots.
bool IsDotAtom(std::string_view text) {
    if (text.empty() || text.front() == '.' || text.back() == '.')
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '.' ? text[i + 1] == '.' : !IsAtext(text[i]))
            return false;
    }
    return true;
}

// The length of the quoted string at the start of text, or 0 when it does not start with one.
std::size_t QuotedStringLength(std::string_view text) {
    if (text.empty() || text.front() != '"')
        return 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"')
            return i + 1;
        if (c == '\\') {
            if (++i == text.size() || !(IsVisible(text[i]) || text[i] == ' ' || text[i] == '\t'))
                return 0;
        } else if (!IsVisible(c) && c != ' ' && c != '\t') {
            return 0;
        }
    }
    return 0;
}

// Labels of letters, digits and inner hyphens joined by single dots: a host name that mail
// can be sent to.
bool IsHostName(std::string_view text) {
    std::size_t label = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : '.';
        if (c == '.') {
            if (label == 0 || text[i - 1] == '-')
                return false;
            label = 0;
        } else if (IsAlphaDigit(c) || (c == '-' && label != 0)) {
            ++label;
        } else {
            return false;
        }
    }
    return true;
}

bool IsDomainLiteral(std::string_view text) {
    if (text.size() < 2 || text.front() != '[' || text.back() != ']')
        return false;
    for (const char c : text.substr(1, text.size() - 2))
        if (!IsVisible(c) || c == '[' || c == ']' || c == '\\')
            return false;
    return true;
}

std::string PercentEncoded(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        if (IsAlphaDigit(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += c;
        } else {
            const auto code = static_cast<unsigned char>(c);
            encoded += '%';
            encoded += kHex[code >> 4];
            encoded += kHex[code & 15];
        }
    }
    return encoded;
}

std::string_view WithoutBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::optional<std::string> MailtoLink(std::string_view address) {
    address = WithoutBlanks(address);
    const std::size_t quoted = QuotedStringLength(address);
    const std::size_t at = quoted != 0 ? quoted : address.find('@');
    if (at == std::string_view::npos || at >= address.size() || address[at] != '@')
        return std::nullopt;
    const std::string_view local = address.substr(0, at);
    const std::string_view domain = address.substr(at + 1);
    if (!(quoted != 0 || IsDotAtom(local)) || !(IsHostName(domain) || IsDomainLiteral(domain)))
        return std::nullopt;
    return "mailto:" + PercentEncoded(local) + "@" + PercentEncoded(domain);
}

std::string NotAnAddressText(std::string_view address) {
    return "\"" + std::string(WithoutBlanks(address)) + "\" is not a valid address.";
}

bool IsWebAddress(std::string_view address) {
    std::string scheme;
    for (const char c : address.substr(0, address.find(':')))
        scheme += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    const bool web = (scheme == "http" || scheme == "https") &&
                     address.substr(scheme.size(), 3) == "://" &&
                     address.size() > scheme.size() + 3;
    if (!web)
        return false;
    for (const char c : address)
        if (!IsVisible(c) && static_cast<unsigned char>(c) < 0x80)
            return false;
    return true;
}

std::string NotAWebAddressText(std::string_view address) {
    return "\"" + std::string(address) + "\" is not a web address.";
}

}  // namespace platform
