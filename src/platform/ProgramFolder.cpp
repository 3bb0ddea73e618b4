#include "platform/ProgramFolder.h"

#include <strings.h>
#include <filesystem>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

std::string ProgramFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    std::string folder = ec ? fs::current_path().string() : exe.parent_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string ResolveCaseInsensitive(const std::string& path) {
    std::error_code ec;
    if (path.empty() || fs::exists(path, ec)) {
        return path;
    }
    const fs::path wanted(path);
    fs::path resolved = wanted.root_path();
    for (const fs::path& part : wanted.relative_path()) {
        const fs::path exact = resolved / part;
        if (fs::exists(exact, ec) || part == "." || part == "..") {
            resolved = exact;
            continue;
        }
        bool found = false;
        const fs::path folder = resolved.empty() ? fs::path(".") : resolved;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (strcasecmp(name.c_str(), part.string().c_str()) == 0) {
                resolved /= name;
                found = true;
                break;
            }
        }
        if (!found) {
            return path;
        }
    }
    return resolved.string();
}

}  // namespace platform
