#include "monitor/NewMailText.h"

#include <cctype>

namespace monitor {

namespace {

std::string TrimBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Two digits of a clock text, or -1.
int TwoDigits(const std::string& text, std::size_t at) {
    if (at + 2 > text.size() || !std::isdigit(static_cast<unsigned char>(text[at])) ||
        !std::isdigit(static_cast<unsigned char>(text[at + 1])))
        return -1;
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

// "HH:MM" at offset at as minutes of the day, or -1.
int ClockMinutes(const std::string& text, std::size_t at) {
    const int hours = TwoDigits(text, at);
    const int minutes = TwoDigits(text, at + 3);
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || text[at + 2] != ':')
        return -1;
    return hours * 60 + minutes;
}

}  // namespace

std::string NoticeSummary(const std::string& accountName, std::size_t count) {
    return accountName + ": " + std::to_string(count) +
           (count == 1 ? " new message" : " new messages");
}

std::string SenderText(const MailHeadline& headline) {
    std::string name = TrimBlanks(headline.senderName);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = TrimBlanks(name.substr(1, name.size() - 2));
    return name.empty() ? TrimBlanks(headline.address) : name;
}

std::vector<std::string> NoticeLines(const std::vector<MailHeadline>& headlines,
                                     std::size_t count) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < headlines.size() && i < kNoticeLines; ++i)
        lines.push_back(SenderText(headlines[i]) + " \u2014 " + headlines[i].subject);
    if (count > lines.size())
        lines.push_back("and " + std::to_string(count - lines.size()) + " more");
    return lines;
}

std::string EscapeMarkup(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

bool QuietHours::Contains(int minuteOfDay) const {
    if (from <= to)
        return minuteOfDay >= from && minuteOfDay < to;
    return minuteOfDay >= from || minuteOfDay < to;
}

std::optional<QuietHours> ParseQuietHours(const std::string& text) {
    const std::string trimmed = TrimBlanks(text);
    if (trimmed.size() != 11 || trimmed[5] != '-')
        return std::nullopt;
    const int from = ClockMinutes(trimmed, 0);
    const int to = ClockMinutes(trimmed, 6);
    if (from < 0 || to < 0)
        return std::nullopt;
    return QuietHours{from, to};
}

}  // namespace monitor
