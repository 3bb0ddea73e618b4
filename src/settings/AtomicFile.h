#pragma once
// Replacing a file whole without ever leaving a truncated one behind.
#include <sys/types.h>
#include <stdexcept>
#include <string>

namespace settings {

// A settings file that could not be written; what() names the file and the system's reason.
// The file as it was before the write is left in place.
class SettingsWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes content to a new file beside path, flushes it to disk and renames it over path, so a
// reader sees either the old file or the new one. The new file is created with mode (less the
// process umask). On failure the temporary file is removed and SettingsWriteError is thrown.
void WriteFileAtomically(const std::string& path, const std::string& content, mode_t mode);

}  // namespace settings
