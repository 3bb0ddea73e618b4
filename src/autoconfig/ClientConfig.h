#pragma once
// Reading a provider's autoconfig file (the "clientConfig" XML format) into POP3 (or IMAP) and
// SMTP settings for one address.
#include <cstddef>
#include <optional>
#include <string_view>

#include "autoconfig/Address.h"
#include "autoconfig/Settings.h"

namespace autoconfig {

// Larger files are not read: real ones are a few kilobytes.
inline constexpr std::size_t kMaxConfigBytes = 256 * 1024;

// The first POP3 server with socketType SSL, else the first with STARTTLS, else the first
// plain one; the same for SMTP. Without a usable POP3 server, the IMAP server chosen the same
// way. Placeholders are replaced in hostname and username; a server whose host or port is
// unusable is passed over. OAuth2 when the chosen incoming server lists it as an
// authentication. Nothing when the file is no clientConfig or offers neither. From is
// Autoconfig.
std::optional<Found> ParseClientConfig(std::string_view xml, const Address& address);

}  // namespace autoconfig
