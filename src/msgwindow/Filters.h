#pragma once
// The user's filters: up to 15 texts; a text of several blank-separated words matches when
// every word occurs, ignoring letter case. Matching is on the bytes as received.
#include <string>

#include "settings/Tables.h"

namespace msgwindow {

// True when the filter occurs in text. An empty filter or word (two adjacent blanks) never
// occurs.
bool FilterMatches(const std::string& filter, const std::string& text);

// True when none of the tables' filters matches text.
bool PassesFilters(const settings::Tables& tables, const std::string& text);

}  // namespace msgwindow
