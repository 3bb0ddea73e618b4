#pragma once
// The line reader of the settings files and skin.ini.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// Splits file content into lines: a line ends at CR LF, at a CR alone or at a LF alone, so
// files written on any system read alike; a Ctrl-Z ends the content. A last line without an
// end counts.
std::vector<std::string> SplitTextLines(std::string_view content);

// The lines of a file, or nothing when it cannot be opened or read or is not a regular file.
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path);

// ASCII letter case is ignored; other bytes compare as they are.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool ContainsIgnoringCase(std::string_view text, std::string_view part);

// Removes blanks and control characters (codes 0 to 32) from both ends.
std::string TrimBlanks(std::string_view text);

}  // namespace settings
