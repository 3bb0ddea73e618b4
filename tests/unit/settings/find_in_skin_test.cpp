#include "settings/FindInSkin.h"

#include <gtest/gtest.h>

#include "SettingsTestSupport.h"

namespace {

using settings::FindInSkin;
using settings_test::RecordingSinks;
using settings_test::TempFolder;

struct LookupRow {
    const char* name;
    std::string content;
    std::string section;
    std::string key;
    std::string expected;
};

void PrintTo(const LookupRow& row, std::ostream* os) {
    *os << row.name;
}

class LookupTest : public ::testing::TestWithParam<LookupRow> {};

TEST_P(LookupTest, FindsValue) {
    const LookupRow& row = GetParam();
    TempFolder folder;
    folder.Write("test.ini", row.content);
    EXPECT_EQ(FindInSkin(folder.File("test.ini"), row.section, row.key), row.expected)
        << "content: " << ::testing::PrintToString(row.content);
}

const LookupRow kLookupRows[] = {
    {"NoBlanksAroundEquals", "minutes=5\r\n", "", "minutes", "5"},
    {"BlanksAndTabsTrimmed", "minutes  =\t 5 \t\r\n", "", "minutes", "5"},
    {"ControlCharactersTrimmed", "a = \x01x y\x02\r\n", "", "a", "x y"},
    {"HighBytesKeptAtTheEnds", "a = \xe9t\xe9\r\n", "", "a", "\xe9t\xe9"},
    {"ValueAfterFirstEqualsOnly", "a = b = c \r\n", "", "a", "b = c"},
    {"KeyIgnoresCase", "posX = 3\r\n", "", "posx", "3"},
    {"KeyIsASubstringFirstLineWins", "memo_posX = 9\r\nposX = 3\r\n", "", "posx", "9"},
    {"KeyFoundInsideAValue", "current_skin = /home/filter/\r\nfilter =1\r\n", "", "filter",
     "/home/filter/"},
    {"LineWithoutEqualsGivesWholeLine", "just main text \r\n", "", "main", "just main text"},
    {"EmptyValueGivesMarker", "wavsnd = \r\nwavsnd = later\r\n", "", "wavsnd", "empty"},
    {"MissingKeyGivesMarker", "a=1\r\n", "", "b", "empty"},
    {"EmptyFileGivesMarker", "", "", "a", "empty"},
    {"EmptyLinesSkipped", "\r\n\r\na=1\r\n", "", "a", "1"},
    {"CommentLineSkipped", "[background]\r\n;main = old.bmp\r\nmain = new.bmp\r\n", "[background]",
     "main", "new.bmp"},
    {"CommentNotSkippedWhenIndented", " ;main = old.bmp\r\nmain = new.bmp\r\n", "", "main",
     "old.bmp"},
    {"SectionIgnoresCase", "[ACCOUNT1]\r\nacc_name = a\r\n", "[account1]", "acc_name", "a"},
    {"SectionWithTrailingBlankNotFound", "[Account1] \r\nacc_name = a\r\n", "[account1]",
     "acc_name", "empty"},
    {"SectionWithLeadingBlankNotFound", " [Account1]\r\nacc_name = a\r\n", "[account1]", "acc_name",
     "empty"},
    {"MissingSectionGivesMarker", "a = 1\r\n", "[Misc]", "a", "empty"},
    {"KeyBeforeSectionNotSeen", "auth_name = x\r\n[account1]\r\n", "[account1]", "auth_name",
     "empty"},
    {"SearchRunsPastSectionEnd", "[account1]\r\nacc_name = a\r\n[account2]\r\nauth_name =b\r\n",
     "[account1]", "auth_name", "b"},
    {"HeaderLineIsNotAKeyLine", "[main]\r\nx = 1\r\n", "[main]", "main", "empty"},
    {"FirstMatchingHeaderUsed", "[a]\r\nk=1\r\n[a]\r\nk=2\r\n", "[A]", "k", "1"},
    {"CarriageReturnAloneEndsLine", "a = 1\rb = 2\r", "", "b", "2"},
    {"LineFeedAloneEndsLine", "a = 1\nb = 2\n", "", "b", "2"},
    {"LineFeedOnlyFileHasSections", "[Misc]\nmax_size=5\n", "[Misc]", "max_size", "5"},
    {"MixedLineEndsReadAlike", "[Misc]\ra=1\nb=2\r\nc=3", "[misc]", "b", "2"},
    {"LineFeedAfterCarriageReturnConsumed", "a = 1\r\n;b = 2\r\n", "", "b", "empty"},
    {"StrayLineFeedIsAnEmptyLine", "a = 1\r\n\n;b = 2\r\n", "", "b", "empty"},
    {"LastLineWithoutEnd", "a = 1\r\nb = 2", "", "b", "2"},
    {"CtrlZEndsFile",
     "a = 1\r\n\x1a"
     "b = 2\r\n",
     "", "b", "empty"},
    {"CtrlZInsideLine",
     "a = 1\x1a"
     "2\r\n",
     "", "a", "1"},
};

INSTANTIATE_TEST_SUITE_P(Rows, LookupTest, ::testing::ValuesIn(kLookupRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FindInSkinFile, MissingFileGivesEmptyText) {
    TempFolder folder;
    EXPECT_EQ(FindInSkin(folder.File("Vorla.ini"), "", "current_skin"), "");
}

TEST(FindInSkinFile, FolderInsteadOfFileGivesEmptyText) {
    TempFolder folder;
    EXPECT_EQ(FindInSkin(folder.Folder(), "", "current_skin"), "");
}

TEST(FindInSkinFatal, UnreadableFileShowsMessageRequestsExitAndThrows) {
    TempFolder folder;
    RecordingSinks sinks;
    EXPECT_THROW(FindInSkin(folder.File("Vorla.ini"), "", "current_skin", true, sinks.Sinks()),
                 settings::FatalSettingsError);
    EXPECT_EQ(
        sinks.dialogs.messages,
        std::vector<std::string>{"-Err : VORLA.INI path not found\rSection : current_skin = "});
    EXPECT_EQ(sinks.exitRequest.requests, 1);
}

TEST(FindInSkinFatal, AccountsFileIsNeverFatal) {
    TempFolder folder;
    RecordingSinks sinks;
    EXPECT_EQ(
        FindInSkin(folder.File("Accounts.ini"), "[account1]", "acc_name", true, sinks.Sinks()), "");
    EXPECT_TRUE(sinks.dialogs.messages.empty());
    EXPECT_EQ(sinks.exitRequest.requests, 0);
}

TEST(FindInSkinFatal, AccountsTestRespectsLetterCase) {
    TempFolder folder;
    RecordingSinks sinks;
    EXPECT_THROW(FindInSkin(folder.File("accounts.ini"), "", "acc_name", true, sinks.Sinks()),
                 settings::FatalSettingsError);
    EXPECT_EQ(sinks.exitRequest.requests, 1);
}

TEST(FindInSkinFatal, ReadableFileWithoutKeyIsNotFatal) {
    TempFolder folder;
    folder.Write("skin.ini", "[background]\r\n");
    RecordingSinks sinks;
    EXPECT_EQ(FindInSkin(folder.File("skin.ini"), "[background]", "main", true, sinks.Sinks()),
              "empty");
    EXPECT_TRUE(sinks.dialogs.messages.empty());
}

TEST(FindInSkinFatal, ClearFlagNeverReports) {
    TempFolder folder;
    RecordingSinks sinks;
    EXPECT_EQ(FindInSkin(folder.File("skin.ini"), "", "main", false, sinks.Sinks()), "");
    EXPECT_TRUE(sinks.dialogs.messages.empty());
    EXPECT_EQ(sinks.exitRequest.requests, 0);
}

TEST(FindInSkinFile, ReopensFileOnEveryLookup) {
    TempFolder folder;
    folder.Write("test.ini", "a = 1\r\n");
    ASSERT_EQ(FindInSkin(folder.File("test.ini"), "", "a"), "1");
    folder.Write("test.ini", "a = 2\r\n");
    EXPECT_EQ(FindInSkin(folder.File("test.ini"), "", "a"), "2");
}

}  // namespace
