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

// The password as "Accounts.ini" stores it: ScramblePassword, except for the two stored codes
// the reader takes for structure: a Ctrl-Z (from codes 17 and 145), which would end the file,
// is stored as code 27, and a line feed (from codes 9 and 137), which would end the line, as
// code 9. Each pair unscrambles alike, so the reader gets what it would have got, and the
// lines after it stay readable.
std::string StoredPassword(const std::string& text);

// Whether StoredPassword of text, written as a value and read back (trimmed of blanks and
// control characters, then unscrambled), gives text exactly. It does for every printable
// ASCII password; not for codes above 131 or below 4, nor for a control character at an end.
bool StoredPasswordKeeps(const std::string& text);

// The exact form kept for a password that StoredPasswordKeeps refuses: its bytes as two
// lower-case hex digits each.
std::string PasswordHex(const std::string& text);

// The bytes of PasswordHex (either letter case); false when hex is not such a text.
bool PasswordFromHex(const std::string& hex, std::string& text);

}  // namespace settings
