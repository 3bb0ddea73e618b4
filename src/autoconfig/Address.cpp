#include "autoconfig/Address.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <vector>

#include "autoconfig/Settings.h"

namespace autoconfig {

namespace {

std::string Trim(const std::string& text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::vector<std::string> Labels(const std::string& host) {
    std::vector<std::string> labels;
    std::size_t start = 0;
    while (true) {
        const auto dot = host.find('.', start);
        labels.push_back(host.substr(start, dot - start));
        if (dot == std::string::npos)
            return labels;
        start = dot + 1;
    }
}

std::string Unrooted(std::string host) {
    host = Lower(std::move(host));
    if (!host.empty() && host.back() == '.')
        host.pop_back();
    return host;
}

// Second-level public suffixes of the country domains where mail is commonly hosted under
// them; a name below one of these is registered one label further down.
constexpr std::array<std::string_view, 40> kSecondLevelSuffixes = {
    "co.uk",  "org.uk", "me.uk",  "ac.uk",  "gov.uk", "ltd.uk", "plc.uk", "net.uk",
    "com.au", "net.au", "org.au", "edu.au", "co.nz",  "net.nz", "org.nz", "co.za",
    "co.jp",  "ne.jp",  "or.jp",  "ac.jp",  "co.kr",  "or.kr",  "com.br", "net.br",
    "com.cn", "net.cn", "com.tw", "com.hk", "co.in",  "net.in", "com.mx", "com.ar",
    "com.tr", "com.sg", "com.my", "co.il",  "co.id",  "com.ua", "com.pl", "co.th"};

}  // namespace

const char* SecurityWord(Security security) {
    switch (security) {
        case Security::Tls:
            return "tls";
        case Security::StartTls:
            return "starttls";
        case Security::Off:
            break;
    }
    return "off";
}

const char* SourceWord(Source source) {
    switch (source) {
        case Source::Autoconfig:
            return "autoconfig";
        case Source::Builtin:
            return "builtin";
        case Source::Srv:
            return "srv";
        case Source::Mx:
            return "mx";
        case Source::Guess:
            break;
    }
    return "guess";
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsHostName(const std::string& host) {
    if (host.empty() || host.size() > 253)
        return false;
    for (const std::string& label : Labels(host)) {
        if (label.empty() || label.size() > 63)
            return false;
        const bool plain = std::all_of(label.begin(), label.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
        });
        if (!plain)
            return false;
    }
    return true;
}

std::optional<Address> ParseAddress(const std::string& text) {
    Address address;
    address.Whole = Trim(text);
    const auto at = address.Whole.rfind('@');
    if (at == std::string::npos || at == 0)
        return std::nullopt;
    address.LocalPart = address.Whole.substr(0, at);
    address.Domain = Unrooted(address.Whole.substr(at + 1));
    const bool blankInside = std::any_of(address.Whole.begin(), address.Whole.end(), [](char c) {
        return static_cast<unsigned char>(c) <= ' ';
    });
    if (blankInside || !IsHostName(address.Domain) || address.Domain.find('.') == std::string::npos)
        return std::nullopt;
    return address;
}

std::string ExpandPlaceholders(const std::string& text, const Address& address) {
    static const std::array<std::pair<std::string_view, const std::string Address::*>, 3> names = {
        {{"%EMAILADDRESS%", &Address::Whole},
         {"%EMAILLOCALPART%", &Address::LocalPart},
         {"%EMAILDOMAIN%", &Address::Domain}}};
    std::string result;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [name, part] : names) {
            if (text.compare(i, name.size(), name) == 0) {
                result += address.*part;
                i += name.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            result += text[i++];
    }
    return result;
}

bool IsWithin(const std::string& host, const std::string& domain) {
    const std::string name = Unrooted(host);
    const std::string parent = Unrooted(domain);
    if (parent.empty())
        return false;
    return name == parent ||
           (name.size() > parent.size() &&
            name.compare(name.size() - parent.size(), parent.size(), parent) == 0 &&
            name[name.size() - parent.size() - 1] == '.');
}

std::string RegistrableDomain(const std::string& host) {
    const std::vector<std::string> labels = Labels(Unrooted(host));
    if (labels.size() < 2)
        return {};
    std::size_t keep = 2;
    const std::string lastTwo = labels[labels.size() - 2] + "." + labels.back();
    if (std::find(kSecondLevelSuffixes.begin(), kSecondLevelSuffixes.end(), lastTwo) !=
        kSecondLevelSuffixes.end())
        keep = 3;
    if (labels.size() < keep)
        return {};
    std::string domain;
    for (std::size_t i = labels.size() - keep; i < labels.size(); ++i)
        domain += (domain.empty() ? "" : ".") + labels[i];
    return domain;
}

}  // namespace autoconfig
