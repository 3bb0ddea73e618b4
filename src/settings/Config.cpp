#include "settings/Config.h"

#include <algorithm>

namespace settings {

std::optional<int> TickerIntervalForSpeed(int speed) {
    switch (speed) {
        case 0:
            return 30;
        case 1:
            return 15;
        case 2:
            return 5;
        default:
            return std::nullopt;
    }
}

std::string WithSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string WithTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

std::string AsFolder(const std::string& path) {
    return WithTrailingSlash(WithSlashes(path));
}

}  // namespace settings
