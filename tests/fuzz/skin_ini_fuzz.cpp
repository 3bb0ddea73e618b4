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

// A copy of the test skin in a fresh temporary folder, made once per process and removed when
// the process ends.
struct SkinCopy {
    SkinCopy() {
        char name[] = "/tmp/vorla-fuzz-skin-XXXXXX";
        if (mkdtemp(name) == nullptr)
            std::abort();
        std::filesystem::copy(std::string(VORLA_TEST_DATA) + "/skin/tiny", name);
        folder = std::string(name) + "/";
    }
    ~SkinCopy() {
        std::error_code ignored;  // a leftover folder in /tmp is all a failure costs
        std::filesystem::remove_all(folder, ignored);
    }
    std::string folder;
};

const SkinCopy copy;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& folder = copy.folder;
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
