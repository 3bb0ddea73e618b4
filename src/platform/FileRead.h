#pragma once
// Reading a file the way the program opens every file: close-on-exec, so a program started
// meanwhile inherits nothing, and only when it is a regular file, so a FIFO or a device named
// in a settings or skin file cannot block or feed the program without end.
#include <cstddef>
#include <limits>
#include <optional>
#include <string>

#include "platform/Stream.h"

namespace platform {

// A file that could not be read; Reason() is the system's reason alone, what() names the file.
class FileReadError : public StreamError {
public:
    FileReadError(const std::string& path, const std::string& reason)
        : StreamError("Cannot read " + path + ": " + reason), m_reason(reason) {}
    const std::string& Reason() const { return m_reason; }

private:
    std::string m_reason;
};

enum class FileLinks { Follow, Refuse };

// The first maxBytes bytes of the file at path (all of a smaller one). Throws FileReadError when it
// cannot be opened or read, is not a regular file, or, with FileLinks::Refuse, is a symbolic link.
std::string ReadFileHead(const std::string& path,
                         std::size_t maxBytes = std::numeric_limits<std::size_t>::max(),
                         FileLinks links = FileLinks::Follow);

// The same, with nothing for any failure.
std::optional<std::string> TryReadFile(
    const std::string& path, std::size_t maxBytes = std::numeric_limits<std::size_t>::max(),
    FileLinks links = FileLinks::Follow);

}  // namespace platform
