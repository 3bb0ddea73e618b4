#pragma once
// The JSON form of a parsed message printed by the command-line tools.
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "mail/QelMsg.h"

namespace mail {

// A JSON string literal: bytes 0x80 to 0xFF become \u0080 to \u00ff, control characters are
// escaped.
std::string JsonString(std::string_view bytes);

// One JSON object with the header fields, the header line count, the text lines and the
// attachments (file name, size, sha256 of the data). When size is given, a "size" field is
// added.
std::string MessageToJson(const TQelMsg& message, std::optional<long long> size = std::nullopt);
// The same object written to out piece by piece, so a large text is never held twice.
void WriteMessageJson(std::ostream& out, const TQelMsg& message,
                      std::optional<long long> size = std::nullopt);

// Lower-case hexadecimal SHA-256 of the bytes.
std::string Sha256Hex(const std::string& bytes);

}  // namespace mail
