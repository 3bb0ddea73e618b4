#pragma once
// The password form stored in "Accounts.ini". It only hides the text from a casual look; the
// file itself is kept readable by its owner only.
#include <string>

namespace settings {

// Each code c becomes (2 * c - 8) mod 256; the length is kept, and the result holds only
// even codes, so never "=" or ";".
std::string ScramblePassword(const std::string& text);

// Each stored code b becomes ((b - 12) / 2 truncated toward zero, + 10) mod 256. Restores
// every code from 4 to 131; a code of 132 or more comes back 128 lower, one below 4 128 higher.
std::string UnscramblePassword(const std::string& text);

}  // namespace settings
