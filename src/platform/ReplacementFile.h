#pragma once
// Replacing a file whole without ever leaving a truncated one behind.
#include <sys/types.h>

#include <string>

#include "platform/Stream.h"

namespace platform {

// A file written beside path and renamed over it once complete: a reader sees either the old
// file or the new one, and a symbolic link at path is replaced, never followed. The new file
// is created with mode (less the process umask); when path is an existing regular file, its
// own mode is kept instead, narrowed to mode (a private file never becomes readable by others).
// Failures throw StreamError ("Cannot write <path>: <reason>"); the temporary file is removed
// on failure and by the destructor when Commit was not reached.
class ReplacementFile {
public:
    ReplacementFile(std::string path, mode_t mode);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    void Write(const char* data, std::size_t size);
    // Flushes the content to disk and renames it over path.
    void Commit();

private:
    [[noreturn]] void Fail(int error);
    void Discard();

    std::string m_path;
    std::string m_tempPath;
    int m_fd = -1;
};

// The whole content through a ReplacementFile.
void WriteFileAtomically(const std::string& path, const std::string& content, mode_t mode);

}  // namespace platform
