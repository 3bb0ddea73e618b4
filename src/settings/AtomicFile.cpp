#include "settings/AtomicFile.h"

#include "platform/ReplacementFile.h"

namespace settings {

void WriteFileAtomically(const std::string& path, const std::string& content, mode_t mode) {
    try {
        platform::WriteFileAtomically(path, content, mode);
    } catch (const platform::StreamError& error) {
        throw SettingsWriteError(error.what());
    }
}

}  // namespace settings
