#include "msgwindow/MessageText.h"

#include "msgwindow/Charset.h"

namespace msgwindow {

namespace {

// The header's value with its encoded words decoded to UTF-8; false when it is absent.
bool DecodedHeader(const mail::TQelMsg& message, const std::string& key, std::string& value) {
    std::string line;
    if (!mail::FindHeader(key, message.Headers, line))
        return false;
    value = DecodeHeaderWordsToUtf8(mail::GetHeaderText(key, line));
    return true;
}

}  // namespace

HeaderText HeaderForDisplay(const mail::TQelMsg& message) {
    HeaderText text;
    text.FromName = UndeclaredToUtf8(message.FromName);
    text.From = UndeclaredToUtf8(message.From);
    text.Subject = UndeclaredToUtf8(message.Subject);
    text.Date = UndeclaredToUtf8(message.Date);
    std::string value;
    if (DecodedHeader(message, "FROM:", value)) {
        const mail::TMailbox mailbox = mail::SplitMailbox(value);
        text.FromName = mailbox.Name;
        text.From = mailbox.Address;
    }
    if (DecodedHeader(message, "SUBJECT:", value))
        text.Subject = value;
    return text;
}

std::string BodyLines::Line(std::size_t index) {
    const auto& runs = m_message.TextCharsets;
    while (m_nextRun < runs.size() && runs[m_nextRun].FirstLine <= index)
        m_converter = std::make_unique<Utf8Converter>(runs[m_nextRun++].CharSet);
    if (!m_converter)
        m_converter = std::make_unique<Utf8Converter>("");
    return m_converter->Convert(m_message.Text.at(index));
}

}  // namespace msgwindow
