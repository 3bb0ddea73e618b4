#include "mail/TlsPolicy.h"

#include <algorithm>
#include <cctype>

#include "mail/qel_util.h"

namespace mail {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

TlsMode ParseTlsMode(const std::string& text) {
    const std::string mode = Lower(Trim(text));
    if (mode == "tls")
        return TlsMode::Tls;
    if (mode == "starttls")
        return TlsMode::StartTls;
    if (mode == "off")
        return TlsMode::Off;
    return TlsMode::Auto;
}

bool IsLoopbackHost(const std::string& host) {
    const std::string name = Lower(Trim(host));
    if (name == "localhost" || name == "localhost." || name == "::1" || name == "[::1]")
        return true;
    return IsIPAddress(name) && name.rfind("127.", 0) == 0;
}

std::string FormatFingerprint(const unsigned char* digest, std::size_t length) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < length; ++i) {
        if (i > 0)
            out += ':';
        out += hex[digest[i] >> 4];
        out += hex[digest[i] & 15];
    }
    return out;
}

std::string NormalizeFingerprint(const std::string& text) {
    std::string digits;
    for (const char c : text) {
        if (c == ':' || c == ' ')
            continue;
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return "";
        digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return digits.size() == 64 ? digits : "";
}

}  // namespace mail
