#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

#include "ScopedEnv.h"
#include "TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(ProgramFolder, IsTheExecutablesFolderWhateverVorlaHomeSays) {
    std::string folder;
    {
        const testsupport::ScopedEnv home("VORLA_HOME", "/tmp/somewhere");
        folder = platform::ProgramFolder();
    }
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fs::exists(folder + "platform_test"));
}

TEST(ResolveCaseInsensitive, FindsFilesAndFoldersIgnoringCase) {
    const testsupport::TempFolder temp;
    const fs::path root = temp.Path();
    fs::create_directories(root / "Skins" / "Blue");
    std::ofstream(root / "Skins" / "Blue" / "Main.BMP") << "x";

    EXPECT_EQ(platform::ResolveCaseInsensitive((root / "skins/blue/main.bmp").string()),
              (root / "Skins/Blue/Main.BMP").string());
    EXPECT_EQ(platform::ResolveCaseInsensitive((root / "Skins/Blue/Main.BMP").string()),
              (root / "Skins/Blue/Main.BMP").string());
    const std::string missing = (root / "skins/blue/none.bmp").string();
    EXPECT_EQ(platform::ResolveCaseInsensitive(missing), missing);
}

}  // namespace
