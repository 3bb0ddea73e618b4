#pragma once
// The charset a reply goes out in: ISO-8859-1 when every character the user typed fits it,
// UTF-8 otherwise, so no character is ever replaced on the way out.
#include <string>
#include <string_view>
#include <vector>

namespace msgwindow {

struct ReplyCharset {
    std::string Name;  // "ISO-8859-1" or "UTF-8"
    bool Latin1 = true;
};

// The charset that holds every one of the UTF-8 texts.
ReplyCharset ChooseReplyCharset(const std::vector<std::string_view>& texts);

// A UTF-8 text in the chosen charset's bytes. Bytes that are not valid UTF-8 are read by the
// undeclared rule first, as the memo reads them.
std::string FromUtf8(std::string_view text, const ReplyCharset& charset);

// A display name as RFC 2047 "B" words of the charset, each at most 75 characters long and
// never cutting a character in two; empty for an empty name.
std::string EncodedWords(std::string_view utf8, const ReplyCharset& charset);

}  // namespace msgwindow
