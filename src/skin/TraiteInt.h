#pragma once
// The number parser of skin values.
#include <string_view>

namespace skin {

// Parses a value that is "empty" (or the empty text: both results 0), one number (first set,
// second left alone), or two numbers around the first comma. Numbers follow the desktop's
// standard integer conversion. Returns false on a conversion error; then the results hold
// what was converted before it.
bool TraiteInt(std::string_view value, int& first, int& second);

}  // namespace skin
