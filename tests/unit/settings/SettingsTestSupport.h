#pragma once
// Helpers of the settings tests: a private temporary folder, whole-file bytes, recording sinks.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "settings/FindInSkin.h"
#include "settings/Tables.h"

namespace settings_test {

namespace fs = std::filesystem;

inline std::string DataFolder(const std::string& name) {
    return std::string(VORLA_TEST_DATA) + "/settings/" + name + "/";
}

inline std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
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

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "vorla-settings-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        m_path = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& Path() const { return m_path; }
    // The folder as the settings functions take it, ending in "/".
    std::string Folder() const { return m_path.string() + "/"; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        WriteBytes(m_path / name, bytes);
    }
    std::string Read(const std::string& name) const { return ReadBytes(m_path / name); }
    void CopyFrom(const std::string& folder) const {
        for (const auto& entry : fs::directory_iterator(folder)) {
            fs::copy_file(entry.path(), m_path / entry.path().filename());
        }
    }

private:
    fs::path m_path;
};

class RecordingDialogs final : public platform::Dialogs {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

class RecordingExit final : public platform::ExitRequest {
public:
    void RequestExit() override { ++requests; }
    int requests = 0;
};

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
