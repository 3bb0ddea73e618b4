// The settings readers: the input, cut at its first two NUL bytes, is "Vorla.ini",
// "Accounts.ini" and "VrFilter.ini" of a program folder, read the way start-up and the skin
// load read them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "RecordingDialogs.h"
#include "RecordingExit.h"
#include "TempFolder.h"
#include "settings/LitConfig.h"

namespace {

// The program folder of the three files, made once per process and removed when it ends.
const testsupport::TempFolder folder;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t first = input.find('\0');
    const std::size_t second = first == std::string::npos ? first : input.find('\0', first + 1);
    auto piece = [&](std::size_t from, std::size_t to) {
        return from >= input.size() ? std::string() : input.substr(from, to - from);
    };
    folder.Write(settings::kVorlaIni, input.substr(0, first));
    folder.Write(settings::kAccountsIni,
                 first == std::string::npos ? "" : piece(first + 1, second));
    folder.Write(settings::kFilterIni,
                 second == std::string::npos ? "" : piece(second + 1, std::string::npos));
    testsupport::RecordingDialogs dialogs;
    testsupport::RecordingExit exits;
    settings::Config config;
    settings::Tables tables;
    try {
        settings::LitConfig(folder.Folder(), config, tables, {dialogs, exits});
        settings::ReadWindowPositions(folder.Folder(), config);
    } catch (const settings::FatalSettingsError&) {
    }
    return 0;
}
