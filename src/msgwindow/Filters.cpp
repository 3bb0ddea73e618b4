#include "msgwindow/Filters.h"

#include "settings/LineReader.h"

namespace msgwindow {

bool FilterMatches(const std::string& filter, const std::string& text) {
    // An empty filter would flag every message; an empty word cannot occur.
    std::size_t start = 0;
    while (true) {
        const std::size_t blank = filter.find(' ', start);
        const std::string word = filter.substr(start, blank - start);
        if (word.empty() || !settings::ContainsIgnoringCase(text, word))
            return false;
        if (blank == std::string::npos)
            return true;
        start = blank + 1;
    }
}

bool PassesFilters(const settings::Tables& tables, const std::string& text) {
    for (int i = 0; i < tables.FilterCount && i < settings::kMaxFilters; ++i)
        if (FilterMatches(tables.FilterTable[static_cast<std::size_t>(i)], text))
            return false;
    return true;
}

}  // namespace msgwindow
