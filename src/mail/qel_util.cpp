#include "mail/qel_util.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <random>

#include "mail/LineCursor.h"
#include "mail/MailError.h"
#include "mail/QelMIME.h"

namespace mail {

namespace {

bool IsBlankChar(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Decimal with an optional sign; false for anything else or a value outside int.
bool ParseInt(const std::string& text, int& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    long long result = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        result = result * 10 + (text[i] - '0');
        if (result > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    if (negative)
        result = -result;
    if (result > std::numeric_limits<int>::max())
        return false;
    value = static_cast<int>(result);
    return true;
}

// One generator for identifiers and boundaries, seeded once: reseeding from the clock on every
// call would repeat the same letters for two calls within one clock tick.
char RandomLetter(char last) {
    static std::mutex mutex;
    static std::mt19937 generator(static_cast<std::mt19937::result_type>(
        std::random_device{}() ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())));
    std::lock_guard<std::mutex> lock(mutex);
    std::uniform_int_distribution<int> letter('a', last);
    return static_cast<char>(letter(generator));
}

std::string RandomLetters(std::size_t count, char last) {
    std::string letters;
    for (std::size_t i = 0; i < count; ++i)
        letters += RandomLetter(last);
    return letters;
}

bool StartsWithUpper(std::string_view line, std::string_view upperKey) {
    if (line.size() < upperKey.size())
        return false;
    for (std::size_t i = 0; i < upperKey.size(); ++i)
        if (Upper(line[i]) != upperKey[i])
            return false;
    return true;
}

// Removes every complete double-quoted string; an unterminated quote stays.
std::string RemoveQuotedStrings(const std::string& text) {
    std::string result;
    std::size_t from = 0;
    for (;;) {
        const std::size_t open = text.find('"', from);
        const std::size_t close = open == std::string::npos ? open : text.find('"', open + 1);
        if (close == std::string::npos)
            break;
        result.append(text, from, open - from);
        from = close + 1;
    }
    result.append(text, from, std::string::npos);
    return result;
}

StringList SplitAt(const std::string& text, char separator) {
    StringList pieces;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(separator, from);
        pieces.push_back(text.substr(from, at == std::string::npos ? at : at - from));
        if (at == std::string::npos)
            return pieces;
        from = at + 1;
    }
}

}  // namespace

std::string Trim(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlankChar(text[first]))
        ++first;
    while (last > first && IsBlankChar(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::string UpperCase(std::string text) {
    for (char& c : text)
        c = Upper(c);
    return text;
}

std::string LowerCase(std::string text) {
    for (char& c : text)
        c = Lower(c);
    return text;
}

std::string JoinLines(const StringList& lines, const std::string& separator) {
    std::size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + separator.size();
    std::string text;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += separator;
    }
    return text;
}

StringList SplitLines(std::string_view text) {
    StringList lines;
    lines.reserve(CountLines(text));
    LineCursor cursor(text);
    for (std::string_view line; cursor.Next(line);)
        lines.emplace_back(line);
    return lines;
}

std::string JoinLinesOfText(std::string_view text) {
    std::string joined;
    joined.reserve(text.size() + 2);
    LineCursor cursor(text);
    for (std::string_view line; cursor.Next(line);) {
        joined += line;
        joined += "\r\n";
    }
    return joined;
}

bool IsIPAddress(const std::string& text) {
    const StringList fields = SplitAt(text, '.');
    if (fields.size() != 4)
        return false;
    for (const auto& field : fields) {
        int value = 0;
        if (!ParseInt(field, value) || value < 0 || value > 255)
            return false;
    }
    return true;
}

int ExtractNumber(const std::string& text, std::uint16_t index, int defaultValue) {
    std::string rest = Trim(text);
    for (int skip = 1; skip < index; ++skip) {
        const std::size_t blank = rest.find(' ');
        if (blank == std::string::npos)
            return defaultValue;
        rest = Trim(rest.substr(blank + 1));
    }
    const std::string word = Trim(rest.substr(0, rest.find(' ')));
    int value = 0;
    return ParseInt(word, value) ? value : defaultValue;
}

std::string ExtractBoundary(const std::string& line) {
    const std::size_t key = UpperCase(line).find("BOUNDARY");
    if (key == std::string::npos)
        return "--";
    std::string value = Trim(line.substr(key + 8, 72));
    if (!value.empty())
        value = Trim(value.substr(1));
    if (!value.empty() && value[0] == '"') {
        value.erase(0, 1);
        value = value.substr(0, value.find('"'));
    }
    value = Trim(value.substr(0, value.find(';')));
    return "--" + value;
}

std::string PadNumber(int number, int width) {
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return digits;
}

int TimeZoneBias() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr)
        return 0;
    return static_cast<int>(-local.tm_gmtoff / 60);
}

std::string TimeZoneString() {
    return TimeZoneString(TimeZoneBias());
}

std::string TimeZoneString(int bias) {
    if (bias == 0)
        return "GMT";
    const int magnitude = bias < 0 ? -bias : bias;
    std::string zone(1, bias < 0 ? '+' : '-');
    zone += PadNumber(magnitude / 60, 2);
    zone += PadNumber(magnitude % 60, 2);
    return zone;
}

std::string FormatMailDate(std::time_t when) {
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr)
        gmtime_r(&when, &local);
    return FormatMailDate(local, static_cast<int>(-local.tm_gmtoff / 60));
}

std::string FormatMailDate(const std::tm& local, int bias) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int day = local.tm_wday >= 0 && local.tm_wday < 7 ? local.tm_wday : 0;
    const int month = local.tm_mon >= 0 && local.tm_mon < 12 ? local.tm_mon : 0;
    return std::string(kDays[day]) + ", " + std::to_string(local.tm_mday) + " " + kMonths[month] +
           " " + PadNumber(local.tm_year + 1900, 4) + " " + PadNumber(local.tm_hour, 2) + ":" +
           PadNumber(local.tm_min, 2) + ":" + PadNumber(local.tm_sec, 2) + " " +
           TimeZoneString(bias);
}

std::string MakeMessageId(const std::string& host) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return "<QEL." + PadNumber(local.tm_year + 1900, 4) + "." + PadNumber(local.tm_mon + 1, 2) +
           "." + PadNumber(local.tm_mday, 2) + "." + RandomLetters(8, 't') + "@" + host + ">";
}

std::string MakeBoundary() {
    return "--_QEL_bound_" + RandomLetters(12, 'y');
}

std::string GetTempFile() {
    const char* folder = std::getenv("TMPDIR");
    std::string path = (folder != nullptr && *folder != '\0') ? folder : "/tmp";
    if (path.back() != '/')
        path += '/';
    path += "qelXXXXXX";
    // mkstemp creates the file exclusively with mode 0600, so no other user can take the name.
    const int fd = mkstemp(path.data());
    if (fd < 0)
        throw MailError("Cannot create a temporary file in " + path + ": " + std::strerror(errno));
    close(fd);
    return path;
}

std::string DecodeHeaderWords(const std::string& text) {
    // The text at any moment is done + work[i..]; done never holds "=?". Decoded words are put
    // back into work just before their tail (they are always shorter than the word), so they
    // are searched again, and the whole walk stays linear.
    std::string work = text;
    std::string done;
    std::size_t i = 0;
    // Where the word decoded last ends in work; what lies between it and the next word is
    // dropped when it is all blanks (RFC 2047 6.2).
    std::size_t wordEnd = std::string::npos;
    for (;;) {
        const bool straddles =
            !done.empty() && done.back() == '=' && i < work.size() && work[i] == '?';
        std::size_t rest;
        std::size_t keepUpTo;
        if (straddles) {
            rest = i + 1;
            keepUpTo = i;
        } else {
            const std::size_t start = work.find("=?", i);
            if (start == std::string::npos)
                break;
            rest = start + 2;
            keepUpTo = start;
            if (wordEnd != std::string::npos && wordEnd >= i && wordEnd <= start &&
                work.find_first_not_of(" \t", wordEnd) >= start)
                keepUpTo = wordEnd;
        }
        const std::size_t question = work.find('?', rest);
        if (question == std::string::npos)
            break;
        const char letter = question + 1 < work.size() ? Upper(work[question + 1]) : '\0';
        const std::size_t encodedStart = std::min(question + 3, work.size());
        const std::size_t end = work.find("?=", encodedStart);
        if (end == std::string::npos)
            break;
        const std::string encoded = work.substr(encodedStart, end - encodedStart);
        std::string decoded;
        if (letter == 'Q')
            decoded = DecodeQuotedPrintable(encoded, true);
        if (letter == 'B')
            decoded = DecodeBase64(encoded);
        decoded = BlankControls(std::move(decoded));
        if (straddles)
            done.pop_back();
        else
            done.append(work, i, keepUpTo - i);
        const std::size_t tail = end + 2;
        i = tail - decoded.size();
        work.replace(i, decoded.size(), decoded);
        wordEnd = tail;
    }
    done.append(work, i, std::string::npos);
    return done;
}

std::string BlankControls(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 32 && c != '\t')
            c = ' ';
    return text;
}

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t cp = 0;
        if (byte < 0x80) {
            ++i;
            continue;
        } else if (byte >= 0xC2 && byte <= 0xDF) {
            length = 2;
            cp = byte & 0x1F;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            length = 3;
            cp = byte & 0x0F;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            length = 4;
            cp = byte & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::vector<std::string> EncodeHeaderWords(std::string_view bytes, const std::string& charset) {
    // "=?" charset "?B?" ... "?=" within 75 characters: 45 bytes make 60 base64 characters.
    constexpr std::size_t kBytesPerWord = 45;
    const bool utf8 = UpperCase(charset) == "UTF-8";
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = std::min(bytes.size(), start + kBytesPerWord);
        // A UTF-8 character stays whole: the cut moves back before its continuation bytes.
        while (utf8 && end < bytes.size() && end > start + 1 &&
               (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
            --end;
        std::string base64;
        for (const char c : EncodeBase64(bytes.substr(start, end - start)))
            if (c != '\r' && c != '\n')
                base64 += c;
        words.push_back("=?" + charset + "?B?" + base64 + "?=");
        start = end;
    }
    return words;
}

namespace {

// Just past the ")" that closes the comment opened at open; npos when it stays open.
std::size_t CommentEnd(const std::string& text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == '(')
            ++depth;
        else if (text[i] == ')' && --depth == 0)
            return i + 1;
    }
    return std::string::npos;
}

// The text with every comment taken out; an unclosed "(" ends the removal.
std::string RemoveComments(const std::string& text) {
    std::string result;
    std::size_t from = 0;
    for (;;) {
        const std::size_t open = text.find('(', from);
        const std::size_t end = open == std::string::npos ? open : CommentEnd(text, open);
        if (end == std::string::npos)
            break;
        result.append(text, from, open - from);
        from = end;
    }
    result.append(text, from, std::string::npos);
    return result;
}

}  // namespace

std::string ExtractAddress(const std::string& item, bool wrap) {
    std::string text = Trim(RemoveComments(item));
    const std::size_t lt = text.find('<');
    const std::size_t gt = lt == std::string::npos ? lt : text.find('>', lt + 1);
    if (gt != std::string::npos)
        text = text.substr(lt + 1, gt - lt - 1);
    return wrap ? "<" + text + ">" : text;
}

std::string ExtractDisplayName(const std::string& item, bool wrap) {
    std::string text = item;
    const std::size_t lt = text.find('<');
    const std::size_t gt = lt == std::string::npos ? lt : text.find('>', lt + 1);
    if (gt != std::string::npos)
        text.erase(lt, gt - lt + 1);
    const std::size_t open = text.find('(');
    const std::size_t close = open == std::string::npos ? open : text.find(')', open + 1);
    if (close != std::string::npos)
        text = text.substr(open + 1, close - open - 1);
    text = Trim(RemoveChar(RemoveChar(text, '"'), '\''));
    return wrap ? "\"" + text + "\"" : text;
}

TMailbox SplitMailbox(const std::string& value) {
    TMailbox mailbox;
    const std::size_t lt = value.find('<');
    const std::size_t gt = lt == std::string::npos ? lt : value.find('>', lt + 1);
    if (gt != std::string::npos) {
        mailbox.Name = value.substr(0, lt);
        mailbox.Address = value.substr(lt + 1, gt - lt - 1);
        return mailbox;
    }
    mailbox.Address = ExtractAddress(value, false);
    const std::size_t open = value.find('(');
    const std::size_t end = open == std::string::npos ? open : CommentEnd(value, open);
    if (end != std::string::npos)
        mailbox.Name = Trim(value.substr(open + 1, end - open - 2));
    return mailbox;
}

std::string RemoveChar(const std::string& text, char c) {
    std::string result;
    result.reserve(text.size());
    for (const char x : text)
        if (x != c)
            result += x;
    return result;
}

StringList SplitAddressList(const std::string& text) {
    StringList addresses;
    const std::string trimmed = Trim(text);
    if (trimmed.empty())
        return addresses;
    for (const auto& piece : SplitAt(LowerCase(RemoveQuotedStrings(trimmed)), ',')) {
        std::string address = ExtractAddress(piece, false);
        // An empty item (a doubled or trailing comma) names nobody.
        if (!address.empty())
            addresses.push_back(std::move(address));
    }
    return addresses;
}

std::string FormatAddressList(const std::string& text) {
    std::string result;
    for (const auto& piece : SplitAt(RemoveQuotedStrings(text), ',')) {
        if (Trim(piece).empty())
            continue;
        if (!result.empty())
            result += ", ";
        result +=
            ExtractDisplayName(DecodeHeaderWords(piece), true) + " " + ExtractAddress(piece, true);
    }
    return result;
}

std::string StripQuotes(const std::string& text) {
    std::string result = text;
    if (!result.empty() && (result.front() == '"' || result.front() == '\''))
        result.erase(0, 1);
    if (!result.empty() && (result.back() == '"' || result.back() == '\''))
        result.pop_back();
    return result;
}

std::string GetHeaderParam(const std::string& key, const std::string& line) {
    const std::size_t at = UpperCase(line).find(UpperCase(key));
    if (at == std::string::npos)
        return "";
    const std::string value = Trim(line.substr(at + key.size()));
    return Trim(value.substr(0, value.find(';')));
}

std::string GetHeaderText(const std::string& key, const std::string& line) {
    const std::size_t at = UpperCase(line).find(UpperCase(key));
    return at == std::string::npos ? "" : Trim(line.substr(at + key.size()));
}

namespace {

bool IsBlankLine(std::string_view line) {
    for (const char c : line)
        if (!IsBlankChar(c))
            return false;
    return true;
}

bool IsContinuation(std::string_view line) {
    return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}

// The header lookup over any sequence of lines: Next(line) gives the next line or false.
template <class NextLine>
bool FindHeaderAmong(const std::string& key, NextLine next, std::string& found) {
    std::string_view line;
    bool more = next(line);
    while (more && line.empty())
        more = next(line);
    for (; more && !line.empty(); more = next(line)) {
        if (!StartsWithUpper(line, key))
            continue;
        found.assign(line);
        // Unfolding takes out the line break only: the blank or tab that begins the
        // continuation separates the words.
        while ((more = next(line)) && IsContinuation(line))
            found += line;
        return true;
    }
    return false;
}

template <class Lines>
bool FindHeaderInLines(const std::string& key, const Lines& lines, std::string& line) {
    std::size_t i = 0;
    return FindHeaderAmong(
        key,
        [&](std::string_view& next) {
            if (i >= lines.size())
                return false;
            next = lines[i++];
            return true;
        },
        line);
}

}  // namespace

bool FindHeader(const std::string& key, const StringList& lines, std::string& line) {
    return FindHeaderInLines(key, lines, line);
}

bool FindHeader(const std::string& key, const TextLines& lines, std::string& line) {
    return FindHeaderInLines(key, lines, line);
}

bool FindHeaderInText(const std::string& key, std::string_view text, std::string& line) {
    LineCursor cursor(text);
    return FindHeaderAmong(
        key, [&](std::string_view& next) { return cursor.Next(next); }, line);
}

void SkipHeaderBlock(StringList& lines) {
    std::size_t i = 0;
    while (i < lines.size() && !IsBlankLine(lines[i]))
        ++i;
    while (i < lines.size() && IsBlankLine(lines[i]))
        ++i;
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(i));
}

std::string_view SkipHeaderBlockInText(std::string_view text) {
    LineCursor cursor(text);
    std::size_t at = 0;
    std::string_view line;
    while (cursor.Next(line) && !IsBlankLine(line))
        at = cursor.Position();
    // at is where the first blank line (or the end) begins.
    cursor = LineCursor(text, at);
    while (cursor.Next(line) && IsBlankLine(line))
        at = cursor.Position();
    return text.substr(at);
}

}  // namespace mail
