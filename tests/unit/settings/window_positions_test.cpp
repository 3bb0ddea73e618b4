#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "settings/LitConfig.h"

namespace {

using settings_test::TempFolder;

struct PositionRow {
    const char* name;
    std::string vorla;
    bool converts;
    int posx;
    int memo_posx;
};

class WindowPositionsTest : public ::testing::TestWithParam<PositionRow> {};

TEST_P(WindowPositionsTest, ReadsAsSkinLoadDoes) {
    const PositionRow& row = GetParam();
    TempFolder folder;
    folder.Write("Vorla.ini", row.vorla);
    settings::Config config;
    EXPECT_EQ(settings::ReadWindowPositions(folder.Folder(), config), row.converts);
    if (row.converts) {
        EXPECT_EQ(config.posx, row.posx);
        EXPECT_EQ(config.memo_posx, row.memo_posx);
    }
}

const PositionRow kPositionRows[] = {
    {"MissingGivesDefaults", "current_skin = /s/\r\n", true, 50, 50},
    {"WrittenForm", "posX = 7\r\nposY = 8\r\nmemo_posX = 9\r\n", true, 7, 9},
    {"MemoFirstIsFoundForPosx", "memo_posX = 9\r\nposX = 7\r\n", true, 9, 9},
    {"HexadecimalAccepted", "posx = $10\r\nmemo_posx = 0x20\r\n", true, 16, 32},
    {"Negative", "posx = -5\r\n", true, -5, 50},
    {"LettersFailTheLoad", "posx = left\r\n", false, 0, 0},
    {"CommaFailsTheLoad", "memo_posx = 12 ,30\r\n", false, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Rows, WindowPositionsTest, ::testing::ValuesIn(kPositionRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WindowPositions, MemoDefaultsAreFiftyAndHundred) {
    TempFolder folder;
    folder.Write("Vorla.ini", "current_skin = /s/\r\n");
    settings::Config config;
    config.memo_posy = 1;
    config.posy = 1;
    ASSERT_TRUE(settings::ReadWindowPositions(folder.Folder(), config));
    EXPECT_EQ(config.memo_posy, 100);
    EXPECT_EQ(config.posy, 50);
}

}  // namespace
