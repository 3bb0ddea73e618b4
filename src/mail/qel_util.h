#pragma once
// Text helpers of the mail library: reply numbers, dates and time zones, identifiers and
// boundaries, temporary files, encoded words, address lists and header lines.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "mail/TextLines.h"

namespace mail {

// A list of lines or items; strings are values and the list owns them.
using StringList = std::vector<std::string>;

// Exactly four "."-separated decimal fields, each 0 to 255.
bool IsIPAddress(const std::string& text);
// The word at 1-based index of a reply, as a number; defaultValue when missing or not a number.
int ExtractNumber(const std::string& text, std::uint16_t index, int defaultValue);
// The boundary of a Content-Type line with "--" in front, case preserved.
std::string ExtractBoundary(const std::string& line);
// Decimal with leading zeros up to width.
std::string PadNumber(int number, int width);

// Minutes such that UTC = local time + bias (so east of Greenwich is negative).
int TimeZoneBias();
// "GMT" for 0, else "+hhmm" for a negative bias and "-hhmm" for a positive one.
std::string TimeZoneString();
std::string TimeZoneString(int bias);
// RFC 822 date with English names: "Sun, 6 Dec 2026 23:41:05 +0100".
std::string FormatMailDate(std::time_t when);
// The same for a broken-down local time and its bias.
std::string FormatMailDate(const std::tm& local, int bias);

// "<QEL.yyyy.mm.dd.xxxxxxxx@host>" with 8 random letters a to t.
std::string MakeMessageId(const std::string& host);
// "--_QEL_bound_" and 12 random letters a to y.
std::string MakeBoundary();
// Creates a new empty file, private to the user, in $TMPDIR (or /tmp) with the prefix "qel",
// and returns its name. The caller uses the file and deletes it. Raises MailError when no file
// can be created.
std::string GetTempFile();

// RFC 2047 encoded words ("Q" and "B"); the charset is read past, the bytes pass unconverted
// except that a decoded control character (below 32, TAB aside) becomes a blank, and an
// unknown encoding letter drops the word. Blanks between two adjacent encoded words are
// dropped; blanks beside plain text stay.
std::string DecodeHeaderWords(const std::string& text);
// Every control character (below 32, TAB aside) replaced by a blank.
std::string BlankControls(std::string text);
// Whether text is well-formed UTF-8 (no overlong form, surrogate or code point past U+10FFFF).
bool IsValidUtf8(std::string_view text);
// bytes (in charset) as RFC 2047 "B" words, each at most 75 characters long; in UTF-8 no
// character is cut in two. None for empty bytes.
std::vector<std::string> EncodeHeaderWords(std::string_view bytes, const std::string& charset);

// The bare address of one address item, without its comments ("(...)", nested, with quoted
// pairs; an unclosed "(" ends their removal); wrap puts it in "<" and ">".
std::string ExtractAddress(const std::string& item, bool wrap);
// The display name of one address item; wrap puts it in double quotes.
std::string ExtractDisplayName(const std::string& item, bool wrap);
// One mailbox of a From header: "Name <address>", or "address (Name)" as older mailers write.
struct TMailbox {
    std::string Name;     // what precedes "<" as written, or the text of the comment
    std::string Address;  // between "<" and ">", or the value without its comments
};
TMailbox SplitMailbox(const std::string& value);
std::string RemoveChar(const std::string& text, char c);
// Lower-case bare addresses of a comma-separated list; quoted names are dropped first.
StringList SplitAddressList(const std::string& text);
// "\"Name\" <address>" items joined with ", ".
std::string FormatAddressList(const std::string& text);
// One leading and one trailing quote (double or single) removed.
std::string StripQuotes(const std::string& text);

// The value after key (matched without regard to case anywhere in line), trimmed and cut
// before its first ";"; empty when key is missing.
std::string GetHeaderParam(const std::string& key, const std::string& line);
// The whole value after key, trimmed: the text of an unstructured header (Subject, the
// names of From, To and Cc), where ";" is just a character.
std::string GetHeaderText(const std::string& key, const std::string& line);
// The header line beginning with key (upper case with its colon, "SUBJECT:") in the header
// block of lines, unfolded: its continuation lines appended with the blank or tab that
// begins them (only the line breaks go). False when none matches.
bool FindHeader(const std::string& key, const StringList& lines, std::string& line);
bool FindHeader(const std::string& key, const TextLines& lines, std::string& line);
// The same over the lines of a raw text.
bool FindHeaderInText(const std::string& key, std::string_view text, std::string& line);
// Drops the header block and the blank lines after it.
void SkipHeaderBlock(StringList& lines);
// The same over the lines of a raw text: what follows the header block and its blank lines.
std::string_view SkipHeaderBlockInText(std::string_view text);

// Text helpers shared by the library.
std::string Trim(const std::string& text);
std::string UpperCase(std::string text);
std::string LowerCase(std::string text);
// Lines joined, each followed by separator (the last one too).
std::string JoinLines(const StringList& lines, const std::string& separator = "\r\n");
// The lines of a raw text joined as JoinLines joins them (every line ends in CRLF).
std::string JoinLinesOfText(std::string_view text);
// Split at CRLF, LF or CR; a final line break does not start another line.
StringList SplitLines(std::string_view text);

}  // namespace mail
