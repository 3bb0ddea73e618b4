#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(ProgramFolder, IsTheExecutablesFolderWhateverVorlaHomeSays) {
    setenv("VORLA_HOME", "/tmp/somewhere", 1);
    const std::string folder = platform::ProgramFolder();
    unsetenv("VORLA_HOME");
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fs::exists(folder + "platform_test"));
}

TEST(ResolveCaseInsensitive, FindsFilesAndFoldersIgnoringCase) {
    char pattern[] = "/tmp/vorla-resolve-XXXXXX";
    const fs::path root = mkdtemp(pattern);
    fs::create_directories(root / "Skins" / "Blue");
    std::ofstream(root / "Skins" / "Blue" / "Main.BMP") << "x";

    EXPECT_EQ(platform::ResolveCaseInsensitive((root / "skins/blue/main.bmp").string()),
              (root / "Skins/Blue/Main.BMP").string());
    EXPECT_EQ(platform::ResolveCaseInsensitive((root / "Skins/Blue/Main.BMP").string()),
              (root / "Skins/Blue/Main.BMP").string());
    const std::string missing = (root / "skins/blue/none.bmp").string();
    EXPECT_EQ(platform::ResolveCaseInsensitive(missing), missing);
    fs::remove_all(root);
}

}  // namespace
