#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ConfigTestSupport.h"
#include "RecordingExit.h"
#include "config/KeyringMoves.h"
#include "settings/FindInSkin.h"
#include "settings/LitConfig.h"

namespace config::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class KeyringMovesTest : public ConfigTest {
protected:
    std::string Stored(int number, const char* key) const {
        return settings::FindInSkin(Folder() + "Accounts.ini",
                                    "[Account" + std::to_string(number) + "]", key);
    }
    // The files of the settings folder that hold the text anywhere.
    std::vector<std::string> FilesHolding(const std::string& text) const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(Folder())) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream content;
            content << in.rdbuf();
            if (entry.is_regular_file() && content.str().find(text) != std::string::npos) {
                found.push_back(entry.path().filename().string());
            }
        }
        return found;
    }
    // The password of account number as the next start reads it from the file.
    std::string PasswordInFile(int number) const {
        WriteFile("Vorla.ini", "current_skin = skins/first/\r\n");
        settings::Config config;
        settings::Tables read;
        testsupport::RecordingDialogs shown;
        testsupport::RecordingExit exits;
        settings::LitConfig(Folder(), config, read, {shown, exits});
        return read.AccountTable[number - 1].password;
    }
    void OkWithKeyringBox(bool checked) {
        if (dialog->Controls["ChkKeyring"].Checked != checked) {
            dialog->Click("ChkKeyring");
        }
        dialog->Click("OK");
        dialog->ReadConfigDialog();
    }
};

TEST_F(KeyringMovesTest, AddModifyAndRemoveKeepTheItemWithTheAccount) {
    settings.use_keyring = true;
    Open();
    AddAccount("home");
    const auto* item = keyring.Find("home", "pop.home", 110);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->password, "pw-home");
    EXPECT_EQ(item->label, "Vorla: home@pop.home");
    EXPECT_EQ(Stored(1, "password_store"), "keyring");
    EXPECT_EQ(Stored(1, "password"), settings::kEmptyMarker);
    EXPECT_THAT(FilesHolding("pw-home"), IsEmpty());

    ASSERT_TRUE(dialog->Choose("LstAcc", 0));
    EXPECT_EQ(dialog->Controls["Password"].Text, "pw-home");
    Set("PortTxt", "1110");
    dialog->Click("Modify");
    EXPECT_EQ(keyring.Find("home", "pop.home", 110), nullptr) << "the old item stays behind";
    ASSERT_NE(keyring.Find("home", "pop.home", 1110), nullptr);

    ASSERT_TRUE(dialog->Choose("LstAcc", 0));
    dialog->Click("DelAcc");
    EXPECT_THAT(keyring.items, IsEmpty());
    EXPECT_THAT(dialogs.messages, IsEmpty());
}

TEST_F(KeyringMovesTest, OkMovesEveryPasswordInAndBackOut) {
    Open();
    AddAccount("home");
    AddAccount("work");
    EXPECT_THAT(keyring.items, IsEmpty()) << "the box is off";

    OkWithKeyringBox(true);
    EXPECT_TRUE(settings.use_keyring);
    EXPECT_EQ(keyring.items.size(), 2u);
    EXPECT_THAT(FilesHolding("pw-"), IsEmpty());
    EXPECT_EQ(Stored(2, "password_store"), "keyring");

    dialog->FormShow();
    OkWithKeyringBox(false);
    EXPECT_THAT(keyring.items, IsEmpty());
    EXPECT_EQ(PasswordInFile(1), "pw-home");
    EXPECT_EQ(PasswordInFile(2), "pw-work");
    EXPECT_EQ(Stored(1, "password_store"), settings::kEmptyMarker);
    EXPECT_THAT(dialogs.messages, IsEmpty());
}

// Nothing is lost: a keyring that cannot be reached, or that gives back another password,
// leaves the password in the file and says so.
TEST_F(KeyringMovesTest, APasswordTheKeyringDoesNotHoldStaysInTheFile) {
    struct Row {
        const char* name;
        bool reachable;
        bool garbled;
    };
    for (const Row row :
         {Row{"unreachable", false, false}, Row{"gives back another", true, true}}) {
        SCOPED_TRACE(row.name);
        dialogs.messages.clear();
        keyring.reachable = row.reachable;
        keyring.garbleStored = row.garbled;
        settings.use_keyring = true;
        Open();
        AddAccount(std::string("a") + row.name[0]);
        EXPECT_THAT(dialogs.messages, ElementsAre(kKeyringNotAvailable));
        EXPECT_EQ(PasswordInFile(tables.AccountCount), std::string("pw-a") + row.name[0]);

        dialogs.messages.clear();
        OkWithKeyringBox(true);
        EXPECT_THAT(dialogs.messages, ElementsAre(kKeyringNotAvailable));
        EXPECT_EQ(PasswordInFile(tables.AccountCount), std::string("pw-a") + row.name[0]);
    }
}

TEST_F(KeyringMovesTest, AnUnreachableKeyringKeepsItsPasswordsAndTheirAccounts) {
    settings.use_keyring = true;
    Open();
    AddAccount("home");
    const std::string before = ReadFile("Accounts.ini");
    // As after a start with the keyring away: the password was never read.
    tables.AccountTable[0].password.clear();
    tables.AccountTable[0].keyring_unread = true;
    keyring.reachable = false;

    ASSERT_TRUE(dialog->Choose("LstAcc", 0));
    Set("HostTxt", "pop.elsewhere");
    dialog->Click("Modify");
    EXPECT_THAT(dialogs.messages, ElementsAre(kKeyringAccountUnchanged));

    dialogs.messages.clear();
    dialog->FormShow();
    OkWithKeyringBox(false);
    EXPECT_THAT(dialogs.messages, ElementsAre(kKeyringKeepsPassword));
    EXPECT_EQ(ReadFile("Accounts.ini"), before);
    keyring.reachable = true;
    ASSERT_NE(keyring.Find("home", "pop.home", 110), nullptr);
}

TEST_F(KeyringMovesTest, AClickThatArrivesWhileTheKeyringAnswersIsRefused) {
    settings.use_keyring = true;
    Open();
    bool taken = true;
    keyring.whileAnswering = [&] {
        keyring.whileAnswering = nullptr;
        taken = dialog->Click("AddAcc");
    };
    AddAccount("home");
    EXPECT_FALSE(taken);
    EXPECT_THAT(AccountNames(), ElementsAre("home"));
}

}  // namespace
}  // namespace config::test
