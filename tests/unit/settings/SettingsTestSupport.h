#pragma once
// Helpers of the settings tests: the test data, folder listings, accounts and the recording
// fatal sinks.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "Files.h"
#include "RecordingDialogs.h"
#include "RecordingExit.h"
#include "TempFolder.h"
#include "settings/Tables.h"
#include "settings/FindInSkin.h"
#include "settings/Tables.h"

namespace settings_test {

namespace fs = std::filesystem;

inline std::string DataFolder(const std::string& name) {
    return std::string(VORLA_TEST_DATA) + "/settings/" + name + "/";
}

// Names of the entries of a folder, sorted.
inline std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

using testsupport::ReadFile;
using testsupport::RecordingDialogs;
using testsupport::RecordingExit;
using testsupport::TempFolder;

inline settings::AccountRecord MakeAccount(const std::string& name, const std::string& password) {
    settings::AccountRecord account;
    account.acc_name = name;
    account.host_name = "pop." + name;
    account.user_name = name;
    account.password = password;
    return account;
}

struct RecordingSinks {
    RecordingDialogs dialogs;
    RecordingExit exitRequest;
    settings::FatalSinks Sinks() { return {dialogs, exitRequest}; }
};

}  // namespace settings_test
