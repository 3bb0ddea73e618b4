#include "monitor/PopupMenu.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/ProgramFolder.h"

namespace monitor {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

// The folder as one spelling: absolute, links resolved, no "." or "..", no trailing "/".
std::filesystem::path FolderKey(const std::string& folder) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::weakly_canonical(folder, error);
    if (error) {
        path = std::filesystem::path(folder).lexically_normal();
    }
    return path.has_filename() ? path : path.parent_path();
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

}  // namespace

void InsertSkinSorted(std::vector<std::string>& captions, const std::string& name) {
    const std::string key = Lower(name);
    auto position = captions.begin();
    while (position != captions.end() && Lower(*position) < key) {
        ++position;
    }
    captions.insert(position, name);
}

std::vector<std::string> ListSkinFolders(const std::string& skinDir) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entry(skinDir, error);
    // A missing skin directory simply offers no skins.
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code typeError;
        if (!entry->is_directory(typeError)) {
            continue;
        }
        const std::string name = entry->path().filename().string();
        const std::string iniPath =
            platform::ResolveCaseInsensitive(SkinFolderOf(skinDir, name) + "skin.ini");
        if (fs::is_regular_file(iniPath, typeError)) {
            InsertSkinSorted(names, name);
        }
    }
    return names;
}

std::string SkinFolderOf(const std::string& skinDir, const std::string& name) {
    return WithSlash(skinDir) + name + "/";
}

std::string SkinInUse(const std::vector<std::string>& names, const std::string& skinDir,
                      const std::string& skinFolder) {
    const std::filesystem::path inUse = FolderKey(skinFolder);
    for (const std::string& name : names) {
        if (FolderKey(SkinFolderOf(skinDir, name)) == inUse) {
            return name;
        }
    }
    return {};
}

}  // namespace monitor
