// A check of an account whose password is kept in the desktop keyring.
#include "MemorySecretStore.h"
#include "MonitorFakes.h"

namespace monitor::test {
namespace {

class KeyringCheckTest : public MonitorTest {
protected:
    void SetUp() override {
        commun.Secrets = &keyring;
        WriteSettings({{"Box1", "pop1.test"}});
        WriteFile("Accounts.ini",
                  ReadFile("Accounts.ini") + "password = \r\npassword_store = keyring\r\n");
        Box("pop1.test").user = "user1";
        Box("pop1.test").password = "from-keyring";
        Box("pop1.test").Fill(3);
        keyring.items[{"user1", "pop1.test", "pop3", 110}] = {"Vorla: user1@pop1.test",
                                                              "from-keyring"};
    }
    testsupport::MemorySecretStore keyring;
};

TEST_F(KeyringCheckTest, TheCheckLogsInWithThePasswordOfTheKeyring) {
    ASSERT_TRUE(vorla->FormCreate());
    jobs->Cycle.ConnectClick();
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, 3);
    EXPECT_EQ(Logins(), std::vector<std::string>{"user1"});
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(keyring.lookups, 1) << "read once, then known";
}

TEST_F(KeyringCheckTest, AnUnreachableKeyringFailsTheAccountAndTouchesNothing) {
    keyring.reachable = false;
    const std::string accounts = ReadFile("Accounts.ini");
    ASSERT_TRUE(vorla->FormCreate());
    jobs->Cycle.ConnectClick();
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, settings::kCheckFailed);
    EXPECT_NE(jobs->Shared.ErrorNotice().find("Box1 desktop keyring"), std::string::npos)
        << jobs->Shared.ErrorNotice();
    EXPECT_TRUE(Logins().empty()) << "no login without the password";
    EXPECT_TRUE(view.With("message ").empty()) << "no message box for a check";
    EXPECT_EQ(ReadFile("Accounts.ini"), accounts);
    EXPECT_FALSE(keyring.items.empty());
}

// An IMAP account's item is filed under "imap"; the "pop3" item of the same login is not it.
TEST_F(KeyringCheckTest, AnImapAccountTakesTheImapItem) {
    WriteFile("Accounts.ini", ReadFile("Accounts.ini") + "protocol = imap\r\n");
    keyring.items[{"user1", "pop1.test", "pop3", 110}].password = "old";
    keyring.items[{"user1", "pop1.test", "imap", 110}] = {"Vorla: user1@pop1.test", "from-keyring"};
    ASSERT_TRUE(vorla->FormCreate());
    jobs->Cycle.ConnectClick();
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, 3) << jobs->Shared.ErrorNotice();
}

}  // namespace
}  // namespace monitor::test
