#include "monitor/SettingsFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "monitor/NoReport.h"
#include "settings/AtomicFile.h"
#include "settings/Config.h"
#include "settings/LitConfig.h"
#include "settings/Writers.h"

namespace monitor {

namespace fs = std::filesystem;

namespace {

constexpr mode_t kPrivateFolderMode = 0700;

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string AccountHome() {
    const passwd* account = getpwuid(getuid());
    return account != nullptr && account->pw_dir != nullptr ? account->pw_dir : "";
}

// A relative path of the program folder's settings, as the program folder would read it.
std::string Anchored(const std::string& path, const std::string& programFolder) {
    return path.empty() || path.front() == '/' ? path : programFolder + path;
}

void CreateFolders(const std::string& folder) {
    std::vector<fs::path> missing;
    std::error_code ec;
    fs::path at = fs::path(folder).lexically_normal();
    if (!at.has_filename()) {
        at = at.parent_path();
    }
    for (; at.has_relative_path() && !fs::exists(at, ec); at = at.parent_path()) {
        missing.push_back(at);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (::mkdir(it->c_str(), kPrivateFolderMode) != 0 && errno != EEXIST) {
            throw settings::SettingsWriteError("Cannot create " + folder + ": " +
                                               std::strerror(errno));
        }
    }
}

void Seed(const std::string& folder, const std::string& programFolder) {
    settings::Config config;
    settings::Tables tables;
    // Start-up shows what is wrong with the settings it reads; a seed that cannot be read is
    // simply not copied, so nothing is reported here.
    NoReport noReport;
    try {
        settings::LitConfig(programFolder, config, tables, {noReport, noReport});
    } catch (const settings::FatalSettingsError&) {
        return;
    }
    // Positions that do not read keep their defaults, as the skin load would.
    static_cast<void>(settings::ReadWindowPositions(programFolder, config));
    config.SkinFolder = Anchored(config.SkinFolder, programFolder);
    config.SkinDir = Anchored(config.SkinDir, programFolder);
    settings::SaveConfig(folder, config);
}

}  // namespace

SettingsPlaces SettingsPlaces::FromEnvironment() {
    SettingsPlaces places{Variable("VORLA_HOME"), Variable("XDG_CONFIG_HOME"), Variable("HOME")};
    if (places.home.empty()) {
        places.home = AccountHome();
    }
    return places;
}

std::string ChooseSettingsFolder(const std::string& programFolder, const SettingsPlaces& places) {
    if (!places.vorlaHome.empty()) {
        // Made absolute now: start-up then changes into the program folder.
        std::error_code ec;
        const fs::path home = fs::absolute(places.vorlaHome, ec);
        return settings::WithTrailingSlash(ec ? places.vorlaHome : home.string());
    }
    if (::access(programFolder.c_str(), W_OK) == 0) {
        return settings::WithTrailingSlash(programFolder);
    }
    const std::string config = !places.configHome.empty() && places.configHome.front() == '/'
                                   ? places.configHome
                                   : settings::WithTrailingSlash(places.home) + ".config";
    return settings::WithTrailingSlash(config) + "vorla/";
}

void PrepareSettingsFolder(const std::string& folder, const std::string& programFolder) {
    CreateFolders(folder);
    std::error_code ec;
    if (fs::exists(folder + settings::kVorlaIni, ec) ||
        !fs::exists(programFolder + settings::kVorlaIni, ec) ||
        fs::equivalent(folder, programFolder, ec)) {
        return;
    }
    Seed(folder, programFolder);
}

}  // namespace monitor
