#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include "ConfigTestSupport.h"
#include "config/ConfigTexts.h"
#include "settings/FindInSkin.h"

namespace config::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class AccountEditorTest : public ConfigTest {
protected:
    std::string Stored(int number, const char* key) const {
        return settings::FindInSkin(Folder() + "Accounts.ini",
                                    "[Account" + std::to_string(number) + "]", key);
    }
};

TEST_F(AccountEditorTest, TheEleventhAccountIsRefusedUntilOneIsRemoved) {
    Open();
    for (int n = 1; n <= 10; ++n) {
        AddAccount("acc" + std::to_string(n));
    }
    const std::string before = ReadFile("Accounts.ini");
    AddAccount("acc11");
    EXPECT_THAT(dialogs.messages, ElementsAre(kAccountsFull));
    EXPECT_EQ(tables.AccountCount, 10);
    EXPECT_EQ(ReadFile("Accounts.ini"), before);

    ASSERT_TRUE(dialog->Choose("LstAcc", 4));
    dialog->Click("DelAcc");
    AddAccount("acc11");
    EXPECT_EQ(tables.AccountCount, 10);
    EXPECT_EQ(Stored(10, "acc_name"), "acc11");
}

TEST_F(AccountEditorTest, NamesAreComparedRespectingLetterCase) {
    Open();
    AddAccount("home");
    AddAccount("Home");
    EXPECT_THAT(AccountNames(), ElementsAre("home", "Home"));
    EXPECT_THAT(dialogs.messages, IsEmpty());

    AddAccount("Home");
    EXPECT_THAT(dialogs.messages, ElementsAre(kAccountExists));
    EXPECT_EQ(tables.AccountCount, 2);
}

TEST_F(AccountEditorTest, ADuplicateWithMissingFieldsShowsBothMessagesAndAddsNothing) {
    Open();
    AddAccount("home");
    Set("NAccount", "home");
    dialog->Click("AddAcc");
    EXPECT_THAT(dialogs.messages, ElementsAre(kAccountExists, kFillAllFields));
    EXPECT_EQ(tables.AccountCount, 1);
}

TEST_F(AccountEditorTest, ModifyingKeepsItsOwnNameButRefusesAnothersName) {
    Open();
    AddAccount("work");
    AddAccount("home");
    ASSERT_TRUE(dialog->Choose("LstAcc", 0));
    EXPECT_EQ(dialog->Controls["HostTxt"].Text, "pop.work");
    Set("HostTxt", "mail.example");
    dialog->Click("ChkInact");
    dialog->Click("Modify");
    EXPECT_THAT(dialogs.messages, IsEmpty());
    EXPECT_EQ(Stored(1, "host_name"), "mail.example");
    EXPECT_EQ(Stored(1, "inactive"), "1");
    EXPECT_TRUE(tables.AccountTable[0].inactive);

    ASSERT_TRUE(dialog->Choose("LstAcc", 1));
    Set("NAccount", "work");
    dialog->Click("Modify");
    EXPECT_THAT(dialogs.messages, ElementsAre(kAccountExists));
    EXPECT_THAT(AccountNames(), ElementsAre("work", "home"));
}

TEST_F(AccountEditorTest, RemovingTheSecondOfThreeMovesTheThirdUpWithItsIdentityAndState) {
    Open();
    AddAccount("one");
    AddAccount("two");
    AddAccount("three");
    settings::AccountRecord& third = tables.AccountTable[2];
    third.auth_name = "Third Person";
    third.auth_sign = "/home/u/sig.txt";
    third.isign = true;
    ASSERT_TRUE(dialog->Choose("LstAcc", 2));
    dialog->Click("ChkInact");

    ASSERT_TRUE(dialog->Choose("LstAcc", 1));
    dialog->Click("DelAcc");

    EXPECT_THAT(AccountNames(), ElementsAre("one", "three"));
    EXPECT_EQ(tables.AccountTable[1].auth_name, "Third Person");
    EXPECT_TRUE(tables.AccountTable[1].inactive);
    EXPECT_EQ(Stored(2, "acc_name"), "three");
    EXPECT_EQ(Stored(2, "auth_sign"), "/home/u/sig.txt");
    EXPECT_EQ(Stored(2, "inactive"), "1");
    EXPECT_EQ(Stored(3, "acc_name"), settings::kEmptyMarker);
    // The last entry is shown after a removal.
    EXPECT_EQ(dialog->Controls["LstAcc"].Index, 1);
    EXPECT_EQ(dialog->Controls["NAccount"].Text, "three");

    AddAccount("four");
    EXPECT_FALSE(tables.AccountTable[2].inactive);
    EXPECT_TRUE(tables.AccountTable[2].auth_name.empty());
    EXPECT_FALSE(tables.AccountTable[2].isign);
}

TEST_F(AccountEditorTest, APortThatIsNoPortIsStoredAs110) {
    Open();
    AddAccount("letters", "abc");
    AddAccount("blank", "");
    AddAccount("huge", "70000");
    AddAccount("own", "995");
    EXPECT_EQ(Stored(1, "port_number"), "110");
    EXPECT_EQ(Stored(2, "port_number"), "110");
    EXPECT_EQ(Stored(3, "port_number"), "110");
    EXPECT_EQ(Stored(4, "port_number"), "995");
}

TEST_F(AccountEditorTest, TheOnlyEntryOfTheListIsShownWhenChosen) {
    settings::AccountRecord& solo = tables.AccountTable[0];
    solo.acc_name = "solo";
    solo.host_name = "pop.solo";
    solo.user_name = "me";
    solo.password = "secret";
    solo.port_number = 2110;
    tables.AccountCount = 1;
    Open();
    dialog->MnuClick(1);
    dialog->Click("Modify");  // empties the fields
    ASSERT_TRUE(dialog->Choose("LstAcc", 0));
    EXPECT_EQ(dialog->Controls["Password"].Text, "secret");
    EXPECT_EQ(dialog->Controls["PortTxt"].Text, "2110");
}

TEST_F(AccountEditorTest, RemovingFromTheTenthPlaceLeavesNothingSelected) {
    Open();
    for (int n = 1; n <= 10; ++n) {
        AddAccount("acc" + std::to_string(n));
    }
    ASSERT_TRUE(dialog->Choose("LstAcc", 9));
    dialog->Click("DelAcc");
    EXPECT_EQ(tables.AccountCount, 9);
    EXPECT_EQ(dialog->Controls["LstAcc"].Index, -1);
    dialog->Click("Modify");
    dialog->Click("DelAcc");
    EXPECT_EQ(tables.AccountCount, 9);
    EXPECT_THAT(dialogs.messages, IsEmpty());
}

// OK with an account typed into the fields but never added: the typing is not dropped
// silently.
TEST_F(AccountEditorTest, OkAsksBeforeDroppingATypedAccount) {
    using platform::Answer;
    struct Typed {
        std::string name;
        std::string host;
        std::string login;
    };
    struct Outcome {
        bool asked;
        std::vector<std::string> messages;
        std::vector<std::string> accounts;
        DialogResult result;
    };
    struct Row {
        const char* name;
        Typed typed;
        std::optional<Answer> answer;
        Outcome expected;
    };
    const Typed home{"Home", "pop.home", "me"};
    const std::vector<Row> rows = {
        {"the fields show an existing account",
         {"old", "pop.old", "old"},
         std::nullopt,
         {false, {}, {"old"}, DialogResult::Ok}},
        {"a name without a host",
         {"Home", "", "me"},
         std::nullopt,
         {false, {}, {"old"}, DialogResult::Ok}},
        {"Cancel stays with the typing",
         home,
         Answer::Cancel,
         {true, {}, {"old"}, DialogResult::Pending}},
        {"no answer is Cancel", home, std::nullopt, {true, {}, {"old"}, DialogResult::Pending}},
        {"Yes without a login says why and stays",
         {"Home", "pop.home", ""},
         Answer::Yes,
         {true, {kFillAllFields}, {"old"}, DialogResult::Pending}},
        {"No closes without it", home, Answer::No, {true, {}, {"old"}, DialogResult::Ok}},
        {"Yes adds it as Add would",
         home,
         Answer::Yes,
         {true, {}, {"old", "Home"}, DialogResult::Ok}},
    };
    Open();
    AddAccount("old");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Open();
        dialogs.messages.clear();
        dialogs.questions.clear();
        dialogs.questionAnswers.clear();
        if (row.answer) {
            dialogs.questionAnswers.push_back(*row.answer);
        }
        Set("NAccount", row.typed.name);
        Set("HostTxt", row.typed.host);
        Set("UserName", row.typed.login);
        dialog->Click("OK");
        EXPECT_EQ(dialogs.questions,
                  row.expected.asked
                      ? std::vector<std::string>{"Add the account Home before closing?"}
                      : std::vector<std::string>{});
        EXPECT_EQ(dialogs.messages, row.expected.messages);
        EXPECT_EQ(AccountNames(), row.expected.accounts);
        EXPECT_EQ(dialog->Result(), row.expected.result);
    }
    EXPECT_EQ(Stored(2, "host_name"), "pop.home") << "written at once, as Add writes";
}

}  // namespace
}  // namespace config::test
