#pragma once
// The open dialog shared by the pages: the filter list set last stays until the next is set.
#include <optional>
#include <string>
#include <vector>

#include "config/ConfigServices.h"

namespace config {

class SharedOpenDialog {
public:
    explicit SharedOpenDialog(FileDialogs& files);

    // Sets the filter list; its first filter is selected.
    void SetFilter(const std::string& filter);
    // Selects a filter by its number (from 1); past the end of the list the last one applies.
    void SelectFilter(int number);
    const std::string& Filter() const { return m_filter; }
    int FilterIndex() const { return m_filterIndex; }

    // Asks the user for a file with the filters as they stand.
    std::optional<std::string> Execute(const std::string& initialDir, const std::string& fileName);

private:
    FileDialogs& m_files;
    std::string m_filter;
    int m_filterIndex = 1;
};

struct FilterPair {
    std::string Description;
    std::string Pattern;
};

// The filters of a list, each description and pattern trimmed of blanks.
std::vector<FilterPair> FilterPairs(const std::string& filter);

// The number of filters of a list: pairs of description and pattern separated by "|".
int FilterCount(const std::string& filter);

// The folder part of a path, with its trailing "/"; empty when it has none.
std::string FolderOf(const std::string& path);
// The file-name part of a path.
std::string FileNameOf(const std::string& path);

}  // namespace config
