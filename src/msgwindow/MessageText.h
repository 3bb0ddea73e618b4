#pragma once
// A message's fields and body lines as the memo shows them: converted to UTF-8 from the
// charsets the message declares.
#include <cstddef>
#include <string>

#include <memory>

#include "mail/QelMsg.h"
#include "msgwindow/Charset.h"

namespace msgwindow {

struct HeaderText {
    std::string FromName;
    std::string From;
    std::string Subject;
    std::string Date;
};

// The header fields read again from the raw header lines, so that each encoded word is
// decoded from its own charset; split as the parser splits them (mail::SplitMailbox).
HeaderText HeaderForDisplay(const mail::TQelMsg& message);

// The body lines of a message in the charsets of the parts they came from, read in order;
// each run of lines opens its conversion once.
class BodyLines {
public:
    explicit BodyLines(const mail::TQelMsg& message) : m_message(message) {}
    // The display form of line index; indexes must not decrease between calls.
    std::string Line(std::size_t index);

private:
    const mail::TQelMsg& m_message;
    std::size_t m_nextRun = 0;
    std::unique_ptr<Utf8Converter> m_converter;
};

}  // namespace msgwindow
