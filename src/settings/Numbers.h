#pragma once
// Whole-number conversions of settings and skin values.
#include <string_view>

namespace settings {

// A decimal integer: an optional sign and digits, nothing else, within int range.
// Returns false (and leaves out alone) for anything else.
bool ParseDecimal(std::string_view text, int& out);

// The desktop's standard integer conversion used by the skin load: leading blanks, an
// optional sign, then decimal digits or "$" / "0x" followed by hexadecimal digits, nothing
// after them, within int range. Returns false (out left alone) on a conversion error.
bool ParseStandardInteger(std::string_view text, int& out);

}  // namespace settings
