// The settings readers: the input, cut at its first two NUL bytes, is "Vorla.ini",
// "Accounts.ini" and "VrFilter.ini" of a program folder, read the way start-up and the skin
// load read them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/LitConfig.h"

namespace {

struct QuietSinks final : platform::Dialogs, platform::ExitRequest {
    void ShowMessage(const std::string&) override {}
    void RequestExit() override {}
};

// The program folder of the three files, made once per process and removed when it ends.
struct ProgramFolder {
    ProgramFolder() {
        char name[] = "/tmp/vorla-fuzz-settings-XXXXXX";
        if (mkdtemp(name) == nullptr)
            std::abort();
        path = std::string(name) + "/";
    }
    ~ProgramFolder() {
        std::error_code ignored;  // a leftover folder in /tmp is all a failure costs
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

const ProgramFolder folder;

const std::string& Folder() {
    return folder.path;
}

void Write(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t first = input.find('\0');
    const std::size_t second = first == std::string::npos ? first : input.find('\0', first + 1);
    auto piece = [&](std::size_t from, std::size_t to) {
        return from >= input.size() ? std::string() : input.substr(from, to - from);
    };
    Write(Folder() + settings::kVorlaIni, input.substr(0, first));
    Write(Folder() + settings::kAccountsIni,
          first == std::string::npos ? "" : piece(first + 1, second));
    Write(Folder() + settings::kFilterIni,
          second == std::string::npos ? "" : piece(second + 1, std::string::npos));
    QuietSinks sinks;
    settings::Config config;
    settings::Tables tables;
    try {
        settings::LitConfig(Folder(), config, tables, {sinks, sinks});
        settings::ReadWindowPositions(Folder(), config);
    } catch (const settings::FatalSettingsError&) {
    }
    return 0;
}
