#pragma once
// The file name proposed for saving an attachment: only the file-name part of the name the
// message gives, never a path that could lead out of the folder the user picks, and never the
// name of another attachment saved in the same pass.
#include <cstddef>
#include <functional>
#include <string>

namespace msgwindow {

// The part after the last "/" or "\" of name, without the bidirectional controls (U+200E,
// U+200F, U+202A to U+202E, U+2066 to U+2069) that would show it in another order. When that
// is empty, "." or "..", or holds a control character, the result is "attachment" + number
// (1-based position in the message).
std::string SafeAttachmentName(const std::string& name, std::size_t number);

// name with " (number)" before its extension: "a.txt" and 2 give "a (2).txt". A leading dot
// starts no extension.
std::string NumberedName(const std::string& name, int number);

// The first of name, NumberedName(name, 2), NumberedName(name, 3) ... that is not taken.
std::string FreeName(const std::string& name, const std::function<bool(const std::string&)>& taken);

}  // namespace msgwindow
