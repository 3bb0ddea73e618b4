#pragma once
// A message's fields and body lines as the memo shows them: converted to UTF-8 from the
// charsets the message declares.
#include <cstddef>
#include <string>

#include "mail/QelMsg.h"

namespace msgwindow {

struct HeaderText {
    std::string FromName;
    std::string From;
    std::string Subject;
    std::string Date;
};

// The header fields read again from the raw header lines, so that each encoded word is
// decoded from its own charset; the same cuts as the parser's (a value ends before ";",
// the display name is what precedes "<").
HeaderText HeaderForDisplay(const mail::TQelMsg& message);

// Text line index in the charset of the part it came from.
std::string BodyLineForDisplay(const mail::TQelMsg& message, std::size_t index);

}  // namespace msgwindow
