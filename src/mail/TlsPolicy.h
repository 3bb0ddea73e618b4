#pragma once
// How a connection is to be secured, as the settings store it: the TLS mode, the loopback hosts
// that need none, and the form of a pinned certificate fingerprint. Plain text, no TLS library.
#include <cstddef>
#include <string>

namespace mail {

// How a client secures its connection.
enum class TlsMode { Auto, Tls, StartTls, Off };

// "auto", "tls", "starttls" or "off" in any letter case; any other text is Auto.
TlsMode ParseTlsMode(const std::string& text);

// A loopback host: "localhost" or an address of 127.0.0.0/8 or "::1". Plain logins to such
// hosts never leave the machine.
bool IsLoopbackHost(const std::string& host);

// A SHA-256 fingerprint as 64 upper-case hex digits in colon-separated pairs, the form
// "openssl x509 -fingerprint -sha256" prints.
std::string FormatFingerprint(const unsigned char* digest, std::size_t length);

// The 64 hex digits of a pinned fingerprint, colons, blanks and letter case ignored, in upper
// case; empty when the text holds anything else or another count of digits.
std::string NormalizeFingerprint(const std::string& text);

}  // namespace mail
