#pragma once
// Replacing a file whole without ever leaving a truncated one behind.
#include <sys/types.h>

#include <string>

#include "platform/Stream.h"

namespace platform {

// Writes content to a new file beside path, flushes it to disk and renames it over path, so a
// reader sees either the old file or the new one, and a failed write never destroys the old
// one. The new file is created with mode (less the process umask). On failure the temporary
// file is removed and StreamError ("Cannot write <path>: <reason>") is thrown.
void WriteFileAtomically(const std::string& path, const std::string& content, mode_t mode);

}  // namespace platform
