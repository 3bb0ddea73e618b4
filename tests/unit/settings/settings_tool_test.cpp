#include "SettingsTool.h"

#include <gtest/gtest.h>
#include <sstream>

#include "SettingsTestSupport.h"

namespace {

using settings_test::DataFolder;
using settings_test::Entries;
using settings_test::ReadFile;
using settings_test::TempFolder;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

ToolRun RunTool(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    ToolRun run;
    run.status = vorlasettings::RunSettingsTool(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

const std::string kFatalText = "-Err : VORLA.INI path not found\rSection : current_skin = \n";

TEST(SettingsTool, DumpMatchesGolden) {
    const ToolRun run = RunTool({"dump", DataFolder("full")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, ReadFile(DataFolder("") + "full.dump"));
    EXPECT_EQ(run.err, "");
}

TEST(SettingsTool, DumpShowsControlCharactersEscaped) {
    TempFolder folder;
    folder.Write("Vorla.ini",
                 "current_skin = /a\x01"
                 "b\r\nsmtphost =x\\y\r\n");
    const ToolRun run = RunTool({"dump", folder.Folder()});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("current_skin=/a\\x01b/\n"), std::string::npos);
    EXPECT_NE(run.out.find("smtphost=x\\\\y\n"), std::string::npos);
}

TEST(SettingsTool, DumpOfFolderWithoutVorlaIniIsFatal) {
    TempFolder folder;
    const ToolRun run = RunTool({"dump", folder.Folder()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, kFatalText);
}

TEST(SettingsTool, RewriteWithoutCurrentSkinWritesNothing) {
    TempFolder folder;
    folder.Write("Vorla.ini", "autorun =1\r\n");
    folder.Write("Accounts.ini", "\r\n[Account1]\r\nacc_name = a\r\n");
    const ToolRun run = RunTool({"rewrite", folder.Folder()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, kFatalText);
    EXPECT_EQ(Entries(folder.Path()), (std::vector<std::string>{"Accounts.ini", "Vorla.ini"}));
    EXPECT_EQ(folder.Read("Vorla.ini"), "autorun =1\r\n");
    EXPECT_EQ(folder.Read("Accounts.ini"), "\r\n[Account1]\r\nacc_name = a\r\n");
}

TEST(SettingsTool, RewriteWithBadPositionWritesNothing) {
    TempFolder folder;
    folder.Write("Vorla.ini", "current_skin = /s/\r\nposX = left\r\n");
    const ToolRun run = RunTool({"rewrite", folder.Folder()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "-Err :  Invalid SKIN.INI, check the bitmaps.\n");
    EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"Vorla.ini"});
}

class RewriteGoldenTest : public ::testing::TestWithParam<const char*> {};

// A hand-edited folder (odd spacing, capital headers, CR-only and LF-only lines, Ctrl-Z,
// backslash paths, sections out of order) comes out in the writers' form.
TEST_P(RewriteGoldenTest, MessyFolderComesOutCanonical) {
    TempFolder folder;
    folder.CopyFrom(DataFolder("messy"));
    const ToolRun run = RunTool({"rewrite", folder.Folder()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(folder.Read(GetParam()), ReadFile(DataFolder("messy.rewritten") + GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Files, RewriteGoldenTest,
                         ::testing::Values("Vorla.ini", "Accounts.ini", "VrFilter.ini"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

TEST(SettingsTool, RewriteOfCanonicalFolderChangesNothing) {
    TempFolder folder;
    folder.CopyFrom(DataFolder("full"));
    ASSERT_EQ(RunTool({"rewrite", folder.Folder()}).status, 0);
    for (const char* name : {"Vorla.ini", "Accounts.ini", "VrFilter.ini"}) {
        EXPECT_EQ(folder.Read(name), ReadFile(DataFolder("full") + name)) << name;
    }
}

TEST(SettingsTool, UnknownCommandShowsUsage) {
    const ToolRun run = RunTool({"print", "/tmp"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("usage:"), std::string::npos);
}

}  // namespace
