#pragma once
// The file name proposed for saving an attachment: only the file-name part of the name the
// message gives, never a path that could lead out of the folder the user picks.
#include <cstddef>
#include <string>

namespace msgwindow {

// The part after the last "/" or "\" of name. When that is empty, "." or "..", or holds a
// control character, the result is "attachment" + number (1-based position in the message).
std::string SafeAttachmentName(const std::string& name, std::size_t number);

}  // namespace msgwindow
