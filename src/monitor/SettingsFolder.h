#pragma once
// The settings folder: where the program keeps what it writes (the three settings files and
// the downloaded news files), apart from the program folder that holds the skins and help.
#include <string>

namespace monitor {

// What the choice of the folder depends on, as the environment gives it.
struct SettingsPlaces {
    std::string vorlaHome;   // VORLA_HOME
    std::string configHome;  // XDG_CONFIG_HOME; ignored unless an absolute path
    std::string home;        // HOME, else the home folder of the user's account
    static SettingsPlaces FromEnvironment();
};

// VORLA_HOME when set; else programFolder when the user may write there (a build tree or a
// copy in the home folder); else $XDG_CONFIG_HOME/vorla/ (default ~/.config/vorla/).
// programFolder ends in "/", and so does the result.
std::string ChooseSettingsFolder(const std::string& programFolder, const SettingsPlaces& places);

// Makes folder ready to use: the folders missing on its path are created (mode 700), and a
// folder without "Vorla.ini" gets the program folder's, with "current_skin" and "skin_dir"
// made absolute so that they still name the skins of the program folder. Nothing happens
// without a usable "Vorla.ini" in the program folder: start-up then reports the missing file.
// Throws settings::SettingsWriteError naming the folder or file and the reason.
void PrepareSettingsFolder(const std::string& folder, const std::string& programFolder);

}  // namespace monitor
