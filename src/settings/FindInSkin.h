#pragma once
// The one key lookup shared by the three settings files and skin.ini.
#include <stdexcept>
#include <string>

#include "platform/Dialogs.h"

namespace settings {

// What a lookup returns for a key that is absent or has an empty value. Every reader compares
// with it (exactly, lower case) before applying its own default.
inline constexpr const char* kEmptyMarker = "empty";

// Shown when a fatal lookup cannot read its file, and when "current_skin" is missing.
inline constexpr const char* kVorlaIniNotFound =
    "-Err : VORLA.INI path not found\rSection : current_skin = ";

// Where a fatal fault is reported: one message box, then the end of the program.
struct FatalSinks {
    platform::Dialogs& dialogs;
    platform::ExitRequest& exitRequest;
};

// Thrown right after a fatal fault has been reported (message shown, exit requested), so that
// every caller unwinds at once and nothing is written on the way out. what() is the message.
// Catch it only at the top of start-up or of an event handler, and do nothing more there.
class FatalSettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Shows text through the sinks, requests the exit and throws FatalSettingsError.
[[noreturn]] void ReportFatal(const FatalSinks& sinks, const std::string& text);

// Reads one value. path is the full file path, section a whole header line such as
// "[Account1]" or the empty text for none, key the text searched in the lines.
// - The file is opened afresh and scanned from its first line on every call.
// - A file that cannot be opened or read gives the empty text.
// - With a section, the header must equal a line as a whole, ignoring letter case, untrimmed;
//   the key is searched in the lines after it, running on past later headers to the file's end.
// - The first line that is not empty, does not begin with ";" and holds the key anywhere
//   (ignoring letter case) gives the value: the text after its first "=" (the whole line
//   without one), blanks and control characters trimmed from both ends.
// - No such line, no such section, or an empty value gives kEmptyMarker.
std::string FindInSkin(const std::string& path, const std::string& section, const std::string& key);

// The lookup of the keys added to the original files: the name before a line's "=" must equal
// key (blanks trimmed, letter case ignored), and with a section the search ends at the next
// section header, so an account without the key never gets the next account's value. Missing
// file, section or key, or an empty value, give kEmptyMarker.
std::string FindKeyInSection(const std::string& path, const std::string& section,
                             const std::string& key);

// The same lookup with the fatal flag. When fatal is set, a file that cannot be read and whose
// path does not contain "Accounts.ini" (letter case respected) is reported through sinks with
// kVorlaIniNotFound, which throws FatalSettingsError. With fatal clear it is the lookup above.
std::string FindInSkin(const std::string& path, const std::string& section, const std::string& key,
                       bool fatal, const FatalSinks& sinks);

}  // namespace settings
