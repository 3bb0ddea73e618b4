#include "config/OpenDialog.h"

#include <algorithm>

#include "config/ConfigTexts.h"
#include "settings/LineReader.h"

namespace config {

SharedOpenDialog::SharedOpenDialog(FileDialogs& files)
    : m_files(files), m_filter(kInitialFilters) {}

void SharedOpenDialog::SetFilter(const std::string& filter) {
    m_filter = filter;
    m_filterIndex = 1;
}

void SharedOpenDialog::SelectFilter(int number) {
    m_filterIndex = std::clamp(number, 1, std::max(FilterCount(m_filter), 1));
}

std::optional<std::string> SharedOpenDialog::Execute(const std::string& initialDir,
                                                     const std::string& fileName) {
    return m_files.OpenFile({m_filter, m_filterIndex, initialDir, fileName});
}

std::vector<FilterPair> FilterPairs(const std::string& filter) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        const auto bar = filter.find('|', start);
        parts.push_back(settings::TrimBlanks(filter.substr(start, bar - start)));
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
    std::vector<FilterPair> pairs;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        pairs.push_back({parts[i], parts[i + 1]});
    }
    return pairs;
}

int FilterCount(const std::string& filter) {
    const auto bars = std::count(filter.begin(), filter.end(), '|');
    return static_cast<int>((bars + 1) / 2);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace config
