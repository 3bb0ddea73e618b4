// skin.ini loading: the input is the skin.ini of a copy of the small test skin, so the
// pictures it names can load and the load runs through all its steps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/FindInSkin.h"
#include "skin/LoadSkin.h"

namespace {

struct QuietSinks final : platform::Dialogs, platform::ExitRequest {
    void ShowMessage(const std::string&) override {}
    void RequestExit() override {}
};

// A copy of the test skin in a fresh temporary folder, made once per process.
const std::string& SkinCopy() {
    static const std::string folder = [] {
        char name[] = "/tmp/vorla-fuzz-skin-XXXXXX";
        if (mkdtemp(name) == nullptr)
            std::abort();
        std::filesystem::copy(std::string(VORLA_TEST_DATA) + "/skin/tiny", name);
        return std::string(name) + "/";
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& folder = SkinCopy();
    {
        std::ofstream ini(folder + "skin.ini", std::ios::binary | std::ios::trunc);
        ini.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    QuietSinks sinks;
    skin::MainWindowSkin skin;
    std::string failure;
    try {
        skin::LoadSkin(skin, {folder, ""}, {sinks, sinks}, false, nullptr, &failure);
    } catch (const settings::FatalSettingsError&) {
    }
    return 0;
}
