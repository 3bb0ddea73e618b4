#pragma once
// The texts of a new-mail notification and the quiet-hours rule, without any toolkit.
#include <optional>
#include <string>
#include <vector>

namespace monitor {

// Sender and subject of a message, decoded to UTF-8.
struct MailHeadline {
    std::string senderName;  // display name as decoded; may carry quotes and blanks
    std::string address;
    std::string subject;
};

// The most message lines a notification body holds; the rest are counted.
inline constexpr std::size_t kNoticeLines = 5;

// "Home: 3 new messages".
std::string NoticeSummary(const std::string& accountName, std::size_t count);
// One line per headline ("sender — subject") up to kNoticeLines, then "and K more" when count
// (all new messages) exceeds the lines shown.
std::vector<std::string> NoticeLines(const std::vector<MailHeadline>& headlines, std::size_t count);
// The display name without quotes and outer blanks, else the address.
std::string SenderText(const MailHeadline& headline);
// &, < and > as markup entities, for a service that reads the body as markup.
std::string EscapeMarkup(const std::string& text);

// "HH:MM-HH:MM" as minutes of the day; nothing for an empty or malformed text.
struct QuietHours {
    int from = 0;
    int to = 0;
    // Whether the minute of the day lies inside; the span may wrap past midnight.
    bool Contains(int minuteOfDay) const;
};
std::optional<QuietHours> ParseQuietHours(const std::string& text);

}  // namespace monitor
