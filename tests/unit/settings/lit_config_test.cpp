#include "settings/LitConfig.h"

#include <gtest/gtest.h>

#include "SettingsTestSupport.h"

namespace {

using settings::Config;
using settings::LitConfig;
using settings::Tables;
using settings_test::RecordingSinks;
using settings_test::TempFolder;

const std::string kSkinLine = "current_skin = /skins/blue/\r\n";

class LitConfigTest : public ::testing::Test {
protected:
    void Read() { LitConfig(folder.Folder(), config, tables, sinks.Sinks()); }
    void ReadWith(const std::string& vorla) {
        folder.Write("Vorla.ini", vorla);
        Read();
    }
    TempFolder folder;
    RecordingSinks sinks;
    Config config;
    Tables tables;
};

TEST_F(LitConfigTest, DefaultsWhenOnlySkinIsGiven) {
    ReadWith(kSkinLine);
    EXPECT_EQ(config.SkinFolder, "/skins/blue/");
    EXPECT_FALSE(config.autorun);
    EXPECT_FALSE(config.autocheck);
    EXPECT_FALSE(config.autoconnect);
    EXPECT_FALSE(config.header_only);
    EXPECT_FALSE(config.ontop);
    EXPECT_EQ(config.minutes, 1);
    EXPECT_FALSE(config.playsnd);
    EXPECT_EQ(config.wavsnd, "empty");
    EXPECT_FALSE(config.icon_tray);
    EXPECT_FALSE(config.run_my_client);
    EXPECT_EQ(config.my_mail_client, "empty");
    EXPECT_FALSE(config.reset);
    EXPECT_EQ(config.SkinDir, folder.Folder() + "skins");
    EXPECT_FALSE(config.RAS_connect);
    EXPECT_EQ(config.RAS_num, 0);
    EXPECT_FALSE(config.filter);
    EXPECT_FALSE(config.hidden);
    EXPECT_EQ(config.srv_news, 0);
    EXPECT_EQ(config.speed, 0);
    EXPECT_EQ(config.min_scroll, 20);
    EXPECT_FALSE(config.readlg);
    EXPECT_EQ(config.nblg, 0);
    EXPECT_FALSE(config.vrmail);
    EXPECT_EQ(config.smtphost, "");
    EXPECT_EQ(config.smtpport, 25);
    EXPECT_FALSE(config.sendorg);
    EXPECT_EQ(config.max_size, 0);
    EXPECT_FALSE(config.auth_fltr);
    EXPECT_EQ(tables.AccountCount, 0);
    EXPECT_EQ(tables.FilterCount, 0);
    EXPECT_TRUE(sinks.dialogs.messages.empty());
}

TEST_F(LitConfigTest, SkinFolderGetsSlashesAndATrailingSlash) {
    ReadWith("current_skin = C:\\Vorla\\skins\\Classic\r\n");
    EXPECT_EQ(config.SkinFolder, "C:/Vorla/skins/Classic/");
}

struct FlagRow {
    const char* name;
    std::string line;
    bool expected;
};

class FlagTest : public LitConfigTest, public ::testing::WithParamInterface<FlagRow> {};

TEST_P(FlagTest, OnlyOneIsTrue) {
    ReadWith(kSkinLine + GetParam().line);
    EXPECT_EQ(config.autorun, GetParam().expected);
}

const FlagRow kFlagRows[] = {
    {"WrittenForm", "autorun =1\r\n", true}, {"BlanksAround", "autorun  =  1 \r\n", true},
    {"Zero", "autorun =0\r\n", false},       {"Two", "autorun =2\r\n", false},
    {"Yes", "autorun = yes\r\n", false},     {"Empty", "autorun =\r\n", false},
};

INSTANTIATE_TEST_SUITE_P(Rows, FlagTest, ::testing::ValuesIn(kFlagRows),
                         [](const auto& info) { return std::string(info.param.name); });

struct NumberRow {
    const char* name;
    std::string line;
    int expected;
};

class NumberTest : public LitConfigTest, public ::testing::WithParamInterface<NumberRow> {};

TEST_P(NumberTest, DecimalOrDefault) {
    ReadWith(kSkinLine + GetParam().line);
    EXPECT_EQ(config.minutes, GetParam().expected);
}

const NumberRow kNumberRows[] = {
    {"WrittenForm", "minutes = 15\r\n", 15},      {"NoBlanks", "minutes=15\r\n", 15},
    {"Negative", "minutes = -3\r\n", -3},         {"Letters", "minutes = abc\r\n", 1},
    {"TrailingLetter", "minutes = 5x\r\n", 1},    {"Hexadecimal", "minutes = 0x10\r\n", 1},
    {"TooLarge", "minutes = 99999999999\r\n", 1}, {"Empty", "minutes =\r\n", 1},
};

INSTANTIATE_TEST_SUITE_P(Rows, NumberTest, ::testing::ValuesIn(kNumberRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LitConfigTest, MissingVorlaIniIsFatal) {
    tables.AccountCount = 3;
    EXPECT_THROW(Read(), settings::FatalSettingsError);
    EXPECT_EQ(
        sinks.dialogs.messages,
        std::vector<std::string>{"-Err : VORLA.INI path not found\rSection : current_skin = "});
    EXPECT_EQ(sinks.exitRequest.requests, 1);
    EXPECT_EQ(tables.AccountCount, 0);
}

TEST_F(LitConfigTest, MissingCurrentSkinIsFatal) {
    EXPECT_THROW(ReadWith("autorun =1\r\n"), settings::FatalSettingsError);
    EXPECT_EQ(
        sinks.dialogs.messages,
        std::vector<std::string>{"-Err : VORLA.INI path not found\rSection : current_skin = "});
    EXPECT_EQ(sinks.exitRequest.requests, 1);
}

TEST_F(LitConfigTest, EmptyCurrentSkinIsFatal) {
    EXPECT_THROW(ReadWith("current_skin = \r\n"), settings::FatalSettingsError);
    EXPECT_EQ(sinks.exitRequest.requests, 1);
}

TEST_F(LitConfigTest, LineFeedOnlyFileReadsLikeCrLf) {
    ReadWith("current_skin = /skins/blue/\nautorun =1\nminutes = 9\n");
    EXPECT_EQ(config.SkinFolder, "/skins/blue/");
    EXPECT_TRUE(config.autorun);
    EXPECT_EQ(config.minutes, 9);
}

TEST_F(LitConfigTest, SkinDirKeepsItsText) {
    ReadWith(kSkinLine + "skin_dir = D:\\Skins \r\n");
    EXPECT_EQ(config.SkinDir, "D:/Skins");
}

TEST_F(LitConfigTest, WavsndEmptyValueBecomesMarker) {
    ReadWith(kSkinLine + "wavsnd = \r\n");
    EXPECT_EQ(config.wavsnd, "empty");
}

// A skin folder whose name holds the key must not become the program the MAIL button starts.
TEST_F(LitConfigTest, MailClientIsReadByItsWholeKeyOnly) {
    struct Row {
        const char* name;
        const char* lines;
        const char* expected;
    };
    const Row rows[] = {
        {"key only inside the skin path", "current_skin = /x/run.sh,my_mail_client\r\n", "empty"},
        {"key inside the skin path before the real line",
         "current_skin = /x/run.sh,my_mail_client\r\nmy_mail_client = mutt,-y\r\n", "mutt,-y"},
        {"written form without blanks", "current_skin = /s/\r\nMY_MAIL_CLIENT=mutt\r\n", "mutt"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ReadWith(row.lines);
        EXPECT_EQ(config.my_mail_client, row.expected);
    }
}

TEST_F(LitConfigTest, TickerSpeeds) {
    EXPECT_EQ(settings::TickerIntervalForSpeed(0), 30);
    EXPECT_EQ(settings::TickerIntervalForSpeed(1), 15);
    EXPECT_EQ(settings::TickerIntervalForSpeed(2), 5);
    EXPECT_EQ(settings::TickerIntervalForSpeed(7), std::nullopt);
    EXPECT_EQ(settings::TickerIntervalForSpeed(-1), std::nullopt);
}

TEST_F(LitConfigTest, TablesAreEmptiedBeforeReading) {
    tables.FilterTable[4] = "old";
    tables.FilterCount = 5;
    tables.AccountTable[7].acc_name = "old";
    tables.AccountCount = 8;
    ReadWith(kSkinLine);
    EXPECT_EQ(tables.FilterTable[4], "");
    EXPECT_EQ(tables.AccountTable[7].acc_name, "");
    EXPECT_EQ(tables.AccountCount, 0);
}

}  // namespace
