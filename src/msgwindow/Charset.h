#pragma once
// Mail text is kept as the bytes received; these turn it into UTF-8 for display only. Text
// in a declared charset is converted with iconv; undeclared 8-bit text is taken as UTF-8
// when it is valid UTF-8, else as Windows-1252.
#include <string>
#include <string_view>

#include "mail/qel_util.h"

namespace msgwindow {

using mail::IsValidUtf8;

// Undeclared text: as is when valid UTF-8, else each byte as Windows-1252.
std::string UndeclaredToUtf8(std::string_view text);

// Converts many pieces of text from one charset, opening the conversion once.
class Utf8Converter {
public:
    explicit Utf8Converter(const std::string& charset);
    ~Utf8Converter();
    Utf8Converter(const Utf8Converter&) = delete;
    Utf8Converter& operator=(const Utf8Converter&) = delete;

    // As ToUtf8 with this converter's charset.
    std::string Convert(std::string_view text);

private:
    enum class Kind { Undeclared, Windows1252, Iconv };
    Kind m_kind = Kind::Undeclared;
    void* m_iconv = nullptr;  // iconv_t
};

// Text in the named charset as UTF-8, ASCII bytes too: a charset that iconv knows is always
// converted. An empty or unknown charset, or bytes that are not valid in the charset named,
// fall back to the undeclared rule.
std::string ToUtf8(std::string_view text, const std::string& charset);

// A header value with its RFC 2047 encoded words decoded, each from its own charset, the
// rest by the undeclared rule; blanks between two adjacent encoded words are dropped, and
// a word with an unknown encoding letter is dropped, as the message parser does.
std::string DecodeHeaderWordsToUtf8(const std::string& value);

}  // namespace msgwindow
