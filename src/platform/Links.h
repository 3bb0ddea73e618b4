#pragma once
// What the program hands to the desktop to open when the address comes from a message, a skin
// or a news server: a mailto link that can only name one recipient, and web addresses only.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// "mailto:" and the address with its surrounding blanks removed, when that is one addr-spec
// (plain ASCII; the domain a host name or an address in brackets); every character but the
// unreserved ones and the "@" between the two parts is percent-encoded, so "?" and "&" cannot add
// fields to the link. Nothing when the address is not one addr-spec.
std::optional<std::string> MailtoLink(std::string_view address);

// The text shown when an address cannot be opened as a mailto link.
std::string NotAnAddressText(std::string_view address);

// True for an "http://" or "https://" address (scheme in any case) without blanks or control
// bytes: the only addresses the desktop is asked to open in a browser.
bool IsWebAddress(std::string_view address);

// The text shown when an address is not opened because it is not a web address.
std::string NotAWebAddressText(std::string_view address);

}  // namespace platform
