// skin.ini loading: the input is the skin.ini of a copy of the small test skin, so the
// pictures it names can load and the load runs through all its steps.
#include <cstddef>
#include <cstdint>
#include <string>

#include "RecordingDialogs.h"
#include "RecordingExit.h"
#include "TempFolder.h"
#include "settings/FindInSkin.h"
#include "skin/LoadSkin.h"

namespace {

// A copy of the test skin in a fresh temporary folder, made once per process and removed when
// the process ends.
struct SkinCopy {
    SkinCopy() { folder.CopyFrom(std::string(VORLA_TEST_DATA) + "/skin/tiny"); }
    testsupport::TempFolder folder;
};

const SkinCopy copy;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    copy.folder.Write("skin.ini", std::string(reinterpret_cast<const char*>(data), size));
    testsupport::RecordingDialogs dialogs;
    testsupport::RecordingExit exits;
    skin::MainWindowSkin skin;
    std::string failure;
    try {
        skin::LoadSkin(skin, {copy.folder.Folder(), ""}, {dialogs, exits}, false, nullptr,
                       &failure);
    } catch (const settings::FatalSettingsError&) {
    }
    return 0;
}
