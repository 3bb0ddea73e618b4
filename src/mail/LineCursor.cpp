#include "mail/LineCursor.h"

#include <algorithm>
#include <cstring>

namespace mail {

namespace {

// Offset of the first CR or LF at or after from, or the text's size.
std::size_t LineEnd(std::string_view text, std::size_t from) {
    const char* data = text.data();
    const std::size_t size = text.size();
    // In windows, so a text without LF (CR line breaks) is still walked once: within one, the
    // LF is found first, and a CR can only end the line earlier (mostly the CR of a CRLF).
    constexpr std::size_t kWindow = 256;
    for (std::size_t at = from; at < size; at += kWindow) {
        const std::size_t length = std::min(kWindow, size - at);
        const void* lf = std::memchr(data + at, '\n', length);
        const std::size_t end =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : at + length;
        if (const void* cr = std::memchr(data + at, '\r', end - at))
            return static_cast<std::size_t>(static_cast<const char*>(cr) - data);
        if (lf)
            return end;
    }
    return size;
}

std::size_t AfterBreak(std::string_view text, std::size_t end) {
    if (end >= text.size())
        return text.size();
    return (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? end + 2
                                                                                 : end + 1;
}

}  // namespace

bool LineCursor::Next(std::string_view& line) {
    if (m_at >= m_text.size())
        return false;
    const std::size_t end = LineEnd(m_text, m_at);
    line = m_text.substr(m_at, end - m_at);
    m_at = AfterBreak(m_text, end);
    return true;
}

std::size_t NextLineStart(std::string_view text, std::size_t from) {
    return AfterBreak(text, LineEnd(text, from));
}

bool IsLineStart(std::string_view text, std::size_t at) {
    if (at == 0)
        return true;
    if (at > text.size())
        return false;
    const char before = text[at - 1];
    return before == '\n' || (before == '\r' && (at == text.size() || text[at] != '\n'));
}

std::size_t CountLines(std::string_view text) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    std::size_t breaks = 0;
    for (const char* at = begin; (at = static_cast<const char*>(std::memchr(
                                      at, '\n', static_cast<std::size_t>(end - at)))) != nullptr;
         ++at)
        ++breaks;
    // A CR ends a line of its own unless an LF follows it (then the LF was counted).
    for (const char* at = begin; (at = static_cast<const char*>(std::memchr(
                                      at, '\r', static_cast<std::size_t>(end - at)))) != nullptr;
         ++at)
        if (at + 1 == end || at[1] != '\n')
            ++breaks;
    // Text after the last line break is one more line.
    const bool unterminated = !text.empty() && text.back() != '\n' && text.back() != '\r';
    return breaks + (unterminated ? 1 : 0);
}

std::size_t LastLineStart(std::string_view text) {
    std::size_t end = text.size();
    if (end >= 2 && text[end - 2] == '\r' && text[end - 1] == '\n')
        end -= 2;
    else if (end >= 1 && (text[end - 1] == '\r' || text[end - 1] == '\n'))
        end -= 1;
    const std::size_t lastBreak = text.find_last_of("\r\n", end == 0 ? 0 : end - 1);
    if (end == 0 || lastBreak == std::string_view::npos)
        return 0;
    return lastBreak + 1;
}

}  // namespace mail
