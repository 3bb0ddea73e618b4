#include "settings/Writers.h"

#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "settings/LitConfig.h"
#include "settings/Scramble.h"

namespace {

using settings_test::DataFolder;
using settings_test::ReadFile;
using settings_test::RecordingSinks;
using settings_test::TempFolder;

// Reads a settings folder the way the program does at start-up, window positions included.
struct ReadFolder {
    explicit ReadFolder(const std::string& folder) {
        settings::LitConfig(folder, config, tables, sinks.Sinks());
        settings::ReadWindowPositions(folder, config);
    }
    RecordingSinks sinks;
    settings::Config config;
    settings::Tables tables;
};

std::vector<std::string> FilterList(const settings::Tables& tables) {
    return {tables.FilterTable.begin(), tables.FilterTable.begin() + tables.FilterCount};
}

class GoldenWriteTest : public ::testing::TestWithParam<const char*> {};

// The golden folder is in the writers' exact form, so reading and writing it back gives the
// same bytes for each of the three files.
TEST_P(GoldenWriteTest, WritesGoldenBytes) {
    const std::string golden = DataFolder("full");
    ReadFolder read(golden);
    TempFolder out;
    settings::SaveConfig(out.Folder(), read.config);
    settings::SaveAccounts(out.Folder(), read.tables);
    settings::SaveFilters(out.Folder(), FilterList(read.tables),
                          std::to_string(read.config.max_size), read.config.auth_fltr, read.tables);
    EXPECT_EQ(out.Read(GetParam()), ReadFile(golden + GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Files, GoldenWriteTest,
                         ::testing::Values("Vorla.ini", "Accounts.ini", "VrFilter.ini"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

TEST(SaveAccounts, NoAccountsWritesEmptyFile) {
    TempFolder out;
    settings::SaveAccounts(out.Folder(), settings::Tables{});
    EXPECT_EQ(out.Read("Accounts.ini"), "");
}

// The scrambling cannot carry codes above 131 (nor a control character at either end, which the
// reader trims): such a password is kept exactly in hex, and an ASCII one keeps its old form.
TEST(SaveAccounts, EveryPasswordSurvivesReload) {
    struct Row {
        const char* name;
        std::string password;
        bool hex;
    };
    const Row rows[] = {
        {"ASCII", "s3cret pw", false},
        {"UTF-8 letters", "p\xc3\x89\xc3\x91q\xc5\x91", true},
        {"Latin-1 letters", "caf\xe9", true},
        {"scrambles to a line feed and a Ctrl-Z", "a\x89\x91", true},
        {"control character at the end", "pw\x14", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder out;
        out.Write("Vorla.ini", "current_skin = /s/\r\n");
        settings::Tables tables;
        tables.AccountTable[0] = settings_test::MakeAccount("a", row.password);
        tables.AccountTable[1] = settings_test::MakeAccount("b", "pw");
        tables.AccountCount = 2;
        settings::SaveAccounts(out.Folder(), tables);
        const std::string file = out.Read("Accounts.ini");
        if (row.hex) {
            EXPECT_NE(file.find("password = \r\n"), std::string::npos);
            EXPECT_NE(file.find("sound = \r\npassword_hex = " +
                                settings::PasswordHex(row.password) + "\r\n\r\n[Account2]"),
                      std::string::npos);
        } else {
            EXPECT_NE(file.find("password = " + settings::ScramblePassword(row.password) + "\r\n"),
                      std::string::npos);
            EXPECT_EQ(file.find("password_hex"), std::string::npos);
        }
        ReadFolder read(out.Folder());
        ASSERT_EQ(read.tables.AccountCount, 2);
        EXPECT_EQ(read.tables.AccountTable[0].password, row.password);
        EXPECT_EQ(read.tables.AccountTable[1].password, "pw");
    }
}

// Code 17 scrambles to Ctrl-Z, which ends the file on reading, and a tab to a line feed, which
// ends the line; the stored form must not cut off the rest of the file.
TEST(SaveAccounts, PasswordScramblingToCtrlZOrLineFeedKeepsLaterAccounts) {
    TempFolder out;
    out.Write("Vorla.ini", "current_skin = /s/\r\n");
    settings::Tables tables;
    tables.AccountTable[0] = settings_test::MakeAccount("a", "x\x11y\x11\tz");
    tables.AccountTable[0].port_number = 995;
    tables.AccountTable[1] = settings_test::MakeAccount("b", "pw");
    tables.AccountCount = 2;
    settings::SaveAccounts(out.Folder(), tables);
    EXPECT_EQ(out.Read("Accounts.ini").find('\x1a'), std::string::npos);
    ReadFolder read(out.Folder());
    ASSERT_EQ(read.tables.AccountCount, 2);
    EXPECT_EQ(read.tables.AccountTable[0].password, "x\x11y\x11\tz");
    EXPECT_EQ(read.tables.AccountTable[0].port_number, 995);
    EXPECT_EQ(read.tables.AccountTable[1].password, "pw");
}

// A line break or Ctrl-Z typed into a value is written as a blank: it can neither add a line
// (a section of its own) nor end the file before the entries after it.
TEST(Writers, LineBreaksAndCtrlZInsideValuesAreNeutralised) {
    TempFolder out;
    out.Write("Vorla.ini", "current_skin = /s/\r\n");
    settings::Tables tables;
    tables.AccountTable[0] = settings_test::MakeAccount("a\x1a", "pw");
    tables.AccountTable[0].auth_name = "Ann\r\n[Account3]";
    tables.AccountTable[1] = settings_test::MakeAccount("b", "pw");
    tables.AccountCount = 2;
    settings::SaveAccounts(out.Folder(), tables);
    settings::SaveFilters(out.Folder(), {"x\r[Misc]", "y\nmax_size=99"}, "5", false, tables);
    EXPECT_EQ(tables.FilterTable[0], "x [Misc]");
    ReadFolder read(out.Folder());
    ASSERT_EQ(read.tables.AccountCount, 2);
    EXPECT_EQ(read.tables.AccountTable[0].acc_name, "a");
    EXPECT_EQ(read.tables.AccountTable[0].auth_name, "Ann  [Account3]");
    EXPECT_EQ(read.tables.AccountTable[1].acc_name, "b");
    EXPECT_EQ(FilterList(read.tables), (std::vector<std::string>{"x [Misc]", "y max_size=99"}));
    EXPECT_EQ(read.config.max_size, 5);
}

// The program folder is a real path: a backslash in it is part of a name, not a separator.
TEST(SettingsFolder, BackslashInProgramFolderIsKept) {
    TempFolder out;
    const std::filesystem::path folder = out.Path() / "a\\b";
    std::filesystem::create_directory(folder);
    testsupport::WriteFile((folder / "Vorla.ini").string(),
                           "current_skin = /s/\r\nminutes = 9\r\n");
    ReadFolder read(folder.string());
    ASSERT_TRUE(read.sinks.dialogs.messages.empty());
    EXPECT_EQ(read.config.minutes, 9);
    EXPECT_EQ(read.config.SkinDir, folder.string() + "/skins");
    settings::SaveConfig(folder.string(), read.config);
    settings::SaveAccounts(folder.string(), read.tables);
    settings::SaveFilters(folder.string(), {}, "0", false, read.tables);
    EXPECT_EQ(settings_test::Entries(folder),
              (std::vector<std::string>{"Accounts.ini", "Vorla.ini", "VrFilter.ini"}));
    EXPECT_FALSE(std::filesystem::exists(out.Path() / "a"));
}

TEST(SaveFilters, EmptyListWritesOnlyMisc) {
    TempFolder out;
    settings::Tables tables;
    settings::SaveFilters(out.Folder(), {}, "", false, tables);
    EXPECT_EQ(out.Read("VrFilter.ini"), "\r\n[Misc]\r\nmax_size=\r\nauth_fltr= 0\r\n");
}

TEST(SaveFilters, SizeFieldWrittenExactlyAsTyped) {
    TempFolder out;
    settings::Tables tables;
    settings::SaveFilters(out.Folder(), {"spam"}, " 12kb", true, tables);
    EXPECT_EQ(out.Read("VrFilter.ini"),
              "\r\n[Filter1]\r\nstring=spam\r\n\r\n[Misc]\r\nmax_size= 12kb\r\nauth_fltr= 1\r\n");
}

TEST(SaveFilters, SetsTablesFromList) {
    TempFolder out;
    settings::Tables tables;
    tables.FilterTable = {"x", "y", "z"};
    tables.FilterCount = 3;
    settings::SaveFilters(out.Folder(), {"new"}, "0", false, tables);
    EXPECT_EQ(tables.FilterCount, 1);
    EXPECT_EQ(tables.FilterTable[0], "new");
    EXPECT_EQ(tables.FilterTable[1], "");
}

TEST(SaveFilters, FailedWriteKeepsTables) {
    TempFolder out;
    settings::Tables tables;
    tables.FilterTable[0] = "old";
    tables.FilterCount = 1;
    EXPECT_THROW(settings::SaveFilters(out.File("missing"), {"new"}, "0", false, tables),
                 settings::SettingsWriteError);
    EXPECT_EQ(tables.FilterCount, 1);
    EXPECT_EQ(tables.FilterTable[0], "old");
}

struct TextSettingRow {
    const char* name;
    std::string wavsnd;
    std::string writtenLine;
    std::string readBack;
};

class TextSettingTest : public ::testing::TestWithParam<TextSettingRow> {};

TEST_P(TextSettingTest, WrittenAsHeldAndReadBack) {
    TempFolder out;
    settings::Config config;
    config.SkinFolder = "/s/";
    config.wavsnd = GetParam().wavsnd;
    settings::SaveConfig(out.Folder(), config);
    EXPECT_NE(out.Read("Vorla.ini").find("\r\n" + GetParam().writtenLine + "\r\n"),
              std::string::npos);
    ReadFolder read(out.Folder());
    EXPECT_EQ(read.config.wavsnd, GetParam().readBack);
}

const TextSettingRow kTextSettingRows[] = {
    {"Marker", "empty", "wavsnd = empty", "empty"},
    {"EmptyText", "", "wavsnd = ", "empty"},
    {"Path", "/snd/new mail.wav", "wavsnd = /snd/new mail.wav", "/snd/new mail.wav"},
};

INSTANTIATE_TEST_SUITE_P(Rows, TextSettingTest, ::testing::ValuesIn(kTextSettingRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The writer's order keeps "posX" ahead of "memo_posX", so the substring lookup of "posx"
// finds the main window's own position after a write.
TEST(SaveConfig, PositionsSurviveTheSubstringLookup) {
    TempFolder out;
    settings::Config config;
    config.SkinFolder = "/s/";
    config.posx = 11;
    config.posy = 22;
    config.memo_posx = 33;
    config.memo_posy = 44;
    settings::SaveConfig(out.Folder(), config);
    ReadFolder read(out.Folder());
    EXPECT_EQ(read.config.posx, 11);
    EXPECT_EQ(read.config.posy, 22);
    EXPECT_EQ(read.config.memo_posx, 33);
    EXPECT_EQ(read.config.memo_posy, 44);
    EXPECT_TRUE(read.config.memo_pos_saved);
}

// A message window that never had a place of its own keeps none through a write; the default
// numbers would otherwise pass for one and open it over the main window.
TEST(SaveConfig, AnUnsavedMessageWindowPlaceStaysUnsaved) {
    TempFolder out;
    settings::Config config;
    config.SkinFolder = "/s/";
    config.memo_pos_saved = false;
    settings::SaveConfig(out.Folder(), config);
    EXPECT_NE(out.Read("Vorla.ini").find("memo_posX = empty\r\nmemo_posY = empty\r\n"),
              std::string::npos);
    ReadFolder read(out.Folder());
    EXPECT_FALSE(read.config.memo_pos_saved);
    EXPECT_EQ(read.config.memo_posx, 50);
}

}  // namespace
