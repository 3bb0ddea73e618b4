#pragma once
// The parameters of a structured MIME header (Content-Type, Content-Disposition): quoted
// strings (RFC 2045) and RFC 2231 continuations ("name*0", "name*1", ...), encoded values
// ("name*=charset'language'%XX") and mixes of both.
#include <string>

namespace mail {

// The value of a header line ("Content-Type: text/plain; charset=x") before its parameters,
// trimmed, as written: "text/plain".
std::string MimeValue(const std::string& line);

// The parameter key (matched without regard to case) of a header line, unquoted, its
// sections joined and its %XX bytes decoded; the charset of an encoded value is read past,
// so the bytes pass unconverted. An encoded value beats a plain one of the same key. False
// when the line has no such parameter.
bool GetMimeParam(const std::string& line, const std::string& key, std::string& value);

}  // namespace mail
