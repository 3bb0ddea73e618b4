#pragma once
// The parts of an e-mail address and of host names that the search reasons about.
#include <optional>
#include <string>

namespace autoconfig {

struct Address {
    std::string Whole;      // as typed, without surrounding blanks
    std::string LocalPart;  // before the last "@"
    std::string Domain;     // after it, in lower case, without a trailing dot
};

// The address split at its last "@"; nothing when either side is empty or the domain is no
// host name (letters, digits, "-" and "." in labels of 1 to 63, at least two labels).
std::optional<Address> ParseAddress(const std::string& text);

// A name that may be connected to: 1 to 253 characters of letters, digits, "-", "_" and ".",
// no empty label.
bool IsHostName(const std::string& host);

// %EMAILADDRESS%, %EMAILLOCALPART% and %EMAILDOMAIN% replaced by the address' parts.
std::string ExpandPlaceholders(const std::string& text, const Address& address);

// The host itself or a name under it, letter case and a trailing dot ignored.
bool IsWithin(const std::string& host, const std::string& domain);

// The domain under a public suffix that holds the host: "aspmx.l.google.com" gives
// "google.com", "mx.example.co.uk" gives "example.co.uk". Empty when the host is a suffix.
std::string RegistrableDomain(const std::string& host);

std::string Lower(std::string text);

}  // namespace autoconfig
