// Reading "Accounts.ini" and "VrFilter.ini" at start-up.
#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "settings/LitConfig.h"
#include "settings/Scramble.h"
#include "settings/Writers.h"

namespace {

using settings::ScramblePassword;
using settings_test::RecordingSinks;
using settings_test::TempFolder;

std::string Section(int n, const std::string& name, const std::string& extra = "") {
    return "\r\n[Account" + std::to_string(n) + "]\r\nacc_name = " + name + "\r\nhost_name = pop." +
           name + "\r\nuser_name = " + name + "\r\n" + extra;
}

class ReadTablesTest : public ::testing::Test {
protected:
    ReadTablesTest() { folder.Write("Vorla.ini", "current_skin = /skins/blue/\r\n"); }
    void Read() { settings::LitConfig(folder.Folder(), config, tables, sinks.Sinks()); }
    void ReadAccounts(const std::string& content) {
        folder.Write("Accounts.ini", content);
        Read();
    }
    void ReadFilters(const std::string& content) {
        folder.Write("VrFilter.ini", content);
        Read();
    }
    const settings::AccountRecord& Account(int number) const {
        return tables.AccountTable[number - 1];
    }

    TempFolder folder;
    RecordingSinks sinks;
    settings::Config config;
    settings::Tables tables;
};

TEST_F(ReadTablesTest, MissingAccountsFileLoadsNone) {
    Read();
    EXPECT_EQ(tables.AccountCount, 0);
    EXPECT_TRUE(sinks.dialogs.messages.empty());
}

TEST_F(ReadTablesTest, AccountFieldsAndDefaults) {
    ReadAccounts(Section(1, "home", "password = " + ScramblePassword("s3cret") + "\r\n"));
    ASSERT_EQ(tables.AccountCount, 1);
    EXPECT_EQ(Account(1).acc_name, "home");
    EXPECT_EQ(Account(1).host_name, "pop.home");
    EXPECT_EQ(Account(1).user_name, "home");
    EXPECT_EQ(Account(1).password, "s3cret");
    EXPECT_EQ(Account(1).port_number, 110);
    EXPECT_EQ(Account(1).LastCount, -2);
    EXPECT_FALSE(Account(1).inactive);
    EXPECT_EQ(Account(1).auth_name, "");
    EXPECT_EQ(Account(1).auth_addr, "");
    EXPECT_EQ(Account(1).auth_sign, "");
    EXPECT_FALSE(Account(1).isign);
    EXPECT_EQ(Account(1).protocol, "pop3");
    EXPECT_EQ(Account(1).folder, "INBOX");
    EXPECT_EQ(Account(1).imap_count, "unseen");
}

TEST_F(ReadTablesTest, CapitalHeaderIsFound) {
    ReadAccounts("[ACCOUNT1]\r\nacc_name = a\r\nhost_name = h\r\nuser_name = u\r\n");
    EXPECT_EQ(tables.AccountCount, 1);
}

TEST_F(ReadTablesTest, HeaderWithTrailingBlankEndsList) {
    ReadAccounts("[Account1] \r\nacc_name = a\r\nhost_name = h\r\nuser_name = u\r\n");
    EXPECT_EQ(tables.AccountCount, 0);
}

TEST_F(ReadTablesTest, SectionsInAnyOrderStopAtFirstMissingNumber) {
    ReadAccounts(Section(4, "four") + Section(2, "two") + Section(1, "one"));
    ASSERT_EQ(tables.AccountCount, 2);
    EXPECT_EQ(Account(1).acc_name, "one");
    EXPECT_EQ(Account(2).acc_name, "two");
}

TEST_F(ReadTablesTest, AtMostTenAccounts) {
    std::string content;
    for (int n = 1; n <= 11; ++n) {
        content += Section(n, "acc" + std::to_string(n));
    }
    ReadAccounts(content);
    EXPECT_EQ(tables.AccountCount, 10);
}

// The lookup of "password" takes the first line holding the text: here the name's line.
TEST_F(ReadTablesTest, NameHoldingPasswordIsReadAsPassword) {
    ReadAccounts(
        "[Account1]\r\nacc_name = mypassword\r\nhost_name = h\r\nuser_name = u\r\n"
        "password = " +
        ScramblePassword("real") + "\r\n");
    ASSERT_EQ(tables.AccountCount, 1);
    EXPECT_EQ(Account(1).password, settings::UnscramblePassword("mypassword"));
}

TEST_F(ReadTablesTest, MissingAuthNameRunsIntoNextAccount) {
    ReadAccounts(Section(1, "one") + Section(2, "two", "auth_name =Bob\r\n"));
    ASSERT_EQ(tables.AccountCount, 2);
    EXPECT_EQ(Account(1).auth_name, "Bob");
    EXPECT_EQ(Account(2).auth_name, "Bob");
}

TEST_F(ReadTablesTest, EmptyPasswordLineLoadsEmptyPassword) {
    ReadAccounts(Section(1, "one", "password = \r\n"));
    ASSERT_EQ(tables.AccountCount, 1);
    EXPECT_EQ(Account(1).password, "");
}

TEST_F(ReadTablesTest, MissingHostKeepsMarkerAndLoads) {
    ReadAccounts("[Account1]\r\nacc_name = a\r\nuser_name = u\r\n");
    ASSERT_EQ(tables.AccountCount, 1);
    EXPECT_EQ(Account(1).host_name, "empty");
}

TEST_F(ReadTablesTest, PortFlagsAndIdentity) {
    ReadAccounts(
        Section(1, "one",
                "port_number=995\r\ninactive = 1\r\nauth_name = Ann \r\n"
                "auth_addr = ann@example.org\r\nauth_sign = C:\\sig.txt\r\nisign = 1\r\n"));
    ASSERT_EQ(tables.AccountCount, 1);
    EXPECT_EQ(Account(1).port_number, 995);
    EXPECT_TRUE(Account(1).inactive);
    EXPECT_EQ(Account(1).auth_name, "Ann");
    EXPECT_EQ(Account(1).auth_addr, "ann@example.org");
    EXPECT_EQ(Account(1).auth_sign, "C:/sig.txt");
    EXPECT_TRUE(Account(1).isign);
}

TEST_F(ReadTablesTest, InvalidPortGivesDefault) {
    ReadAccounts(Section(1, "one", "port_number = 11o\r\n"));
    ASSERT_EQ(tables.AccountCount, 1);
    EXPECT_EQ(Account(1).port_number, 110);
}

// A scrambled password holds only even codes; "2" scrambles to a backslash, which must
// survive reading even though path values turn backslashes into "/".
TEST_F(ReadTablesTest, PasswordBackslashIsKept) {
    ReadAccounts(Section(1, "one", "password = " + ScramblePassword("a2") + "\r\n"));
    ASSERT_EQ(tables.AccountCount, 1);
    EXPECT_EQ(Account(1).password, "a2");
}

TEST_F(ReadTablesTest, LineFeedOnlyAccountsFileLoadsEveryAccount) {
    ReadAccounts(
        "[Account1]\nacc_name = a\nhost_name = h\nuser_name = u\nport_number = 995\n"
        "[Account2]\nacc_name = b\nhost_name = h2\nuser_name = v\n");
    ASSERT_EQ(tables.AccountCount, 2);
    EXPECT_EQ(Account(1).port_number, 995);
    EXPECT_EQ(Account(2).host_name, "h2");
}

TEST_F(ReadTablesTest, MissingFilterFileGivesDefaults) {
    Read();
    EXPECT_EQ(tables.FilterCount, 0);
    EXPECT_EQ(config.max_size, 0);
    EXPECT_FALSE(config.auth_fltr);
}

TEST_F(ReadTablesTest, FiltersStopAtFirstGap) {
    ReadFilters(
        "[Filter1]\r\nstring=a b\r\n[Filter2]\r\nstring=c\r\n[Filter4]\r\nstring=d\r\n"
        "[Misc]\r\nmax_size=20\r\nauth_fltr= 1\r\n");
    ASSERT_EQ(tables.FilterCount, 2);
    EXPECT_EQ(tables.FilterTable[0], "a b");
    EXPECT_EQ(tables.FilterTable[1], "c");
    EXPECT_EQ(config.max_size, 20);
    EXPECT_TRUE(config.auth_fltr);
}

// The first "string" line after the header wins even when empty, so the list ends there.
TEST_F(ReadTablesTest, EmptyFilterTextEndsList) {
    ReadFilters("[Filter1]\r\nstring=a\r\n[Filter2]\r\nstring=\r\n[Filter3]\r\nstring=c\r\n");
    EXPECT_EQ(tables.FilterCount, 1);
}

TEST_F(ReadTablesTest, AtMostFifteenFilters) {
    std::string content;
    for (int i = 1; i <= 16; ++i) {
        content += "[Filter" + std::to_string(i) + "]\r\nstring=f" + std::to_string(i) + "\r\n";
    }
    ReadFilters(content);
    ASSERT_EQ(tables.FilterCount, 15);
    EXPECT_EQ(tables.FilterTable[14], "f15");
}

TEST_F(ReadTablesTest, InvalidSizeLimitGivesZero) {
    ReadFilters("[Misc]\r\nmax_size=lots\r\n");
    EXPECT_EQ(config.max_size, 0);
}

}  // namespace

namespace {

// The security keys stay inside their own section and match only as a whole key name: an
// account without them gets the defaults, not the next account's values, and a command text
// holding another key's name changes nothing.
TEST_F(ReadTablesTest, SecurityKeysStayInTheirOwnSection) {
    ReadAccounts(Section(1, "old") +
                 Section(2, "new",
                         "password = " + ScramblePassword("pw") +
                             "\r\nisign = 0\r\ntls_mode = STARTTLS\r\ntls_fingerprint = ab:cd\r\n"
                             "oauth_command = token --password-file x tls_mode = off\r\n") +
                 Section(3, "odd", "tls_mode = sometimes\r\n"));
    ASSERT_EQ(tables.AccountCount, 3);
    EXPECT_EQ(Account(1).tls_mode, "auto");
    EXPECT_EQ(Account(1).tls_fingerprint, "");
    EXPECT_EQ(Account(1).oauth_command, "");
    EXPECT_EQ(Account(2).tls_mode, "starttls");
    EXPECT_EQ(Account(2).tls_fingerprint, "ab:cd");
    EXPECT_EQ(Account(2).oauth_command, "token --password-file x tls_mode = off");
    EXPECT_EQ(Account(2).password, "pw");
    EXPECT_EQ(Account(3).tls_mode, "auto");
}

// Only an account that says so has its password in the keyring, whatever use_keyring says;
// a keyring account is written without its password and reads back as one.
TEST_F(ReadTablesTest, PasswordStoreKeyMovesOnlyItsOwnAccount) {
    folder.Write("Vorla.ini", "current_skin = /skins/blue/\r\nuse_keyring =1\r\n");
    ReadAccounts(
        Section(1, "kept",
                "password = " + ScramblePassword("old") + "\r\npassword_store = Keyring\r\n") +
        Section(2, "file", "password = " + ScramblePassword("pw") + "\r\n"));
    ASSERT_EQ(tables.AccountCount, 2);
    EXPECT_TRUE(config.use_keyring);
    EXPECT_TRUE(Account(1).password_in_keyring);
    EXPECT_TRUE(Account(1).keyring_unread);
    EXPECT_EQ(Account(1).password, "");
    EXPECT_FALSE(Account(2).password_in_keyring);
    EXPECT_EQ(Account(2).password, "pw");

    tables.AccountTable[0].password = "\x01not for the file\xff";
    settings::SaveAccounts(folder.Folder(), tables);
    const std::string written = folder.Read("Accounts.ini");
    EXPECT_EQ(written.find("not for the file"), std::string::npos);
    EXPECT_NE(written.find("password = \r\n"), std::string::npos);
    EXPECT_NE(
        written.find("oauth_command = \r\nsound = \r\npassword_store = keyring\r\n\r\n[Account2]"),
        std::string::npos)
        << written;
    Read();
    EXPECT_TRUE(Account(1).password_in_keyring);
    EXPECT_EQ(Account(2).password, "pw");
}

}  // namespace
