#pragma once
// Reading a skin folder's skin.ini into the skin model of both windows.
#include <functional>
#include <string>

#include "settings/FindInSkin.h"
#include "skin/SkinModel.h"

namespace skin {

struct SkinSource {
    std::string SkinFolder;    // SkinFolder: the skin's folder, ending in "/"
    std::string SettingsFile;  // the main settings file for the window positions; empty: none,
                               // the positions take their defaults
};

// Reads skin.ini of the skin folder and applies it to skin, in the fixed order of its steps.
// The first failure (a file missing or unreadable, a picture that does not decode, a number
// that does not convert) stops the load: the result is false, what was applied so far stays,
// and failure (when given) receives the reason. An unreadable skin.ini and a missing
// "msgbkng" are fatal: the message is shown through sinks, the exit is requested and
// settings::FatalSettingsError is thrown. With redraw, onRedraw runs after a successful load
// (the owner redisplays the count and the connection state).
bool LoadSkin(MainWindowSkin& skin, const SkinSource& source, const settings::FatalSinks& sinks,
              bool redraw, const std::function<void()>& onRedraw, std::string* failure = nullptr);

// A skin.ini value that names a file, as a path inside the skin folder ("\" reads as "/").
// Throws SkinError when the file, its letter case, "..", and symbolic links resolved, lies
// outside the skin folder, or exists but is not a regular file (a FIFO or a device would
// block the load): a skin reads only its own files.
std::string SkinFilePath(const std::string& skinFolder, const std::string& value);

// "r,g,b" as red + 256 x green + 65536 x blue; "empty" is 0. False on a conversion error.
bool ParseFontColor(const std::string& value, std::uint32_t& colour);

}  // namespace skin
