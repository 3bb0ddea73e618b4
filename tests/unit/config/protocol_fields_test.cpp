// The account page's protocol choice and folder field: the port that follows the protocol, and
// what Add and Modify store and the list shows again.
#include <gtest/gtest.h>

#include "ConfigTestSupport.h"
#include "settings/FindInSkin.h"

namespace config::test {
namespace {

constexpr int kPop3 = 0;
constexpr int kImap = 1;

class ProtocolFieldsTest : public ConfigTest {
protected:
    std::string Stored(int number, const char* key) const {
        return settings::FindKeyInSection(Folder() + "Accounts.ini",
                                          "[Account" + std::to_string(number) + "]", key);
    }
    const Control& C(const char* name) const { return dialog->Controls[name]; }
};

struct PortRow {
    const char* name;
    int from;  // the protocol chosen before
    const char* port;
    int to;
    const char* expected;
};

TEST_F(ProtocolFieldsTest, TheUsualPortFollowsTheProtocolAndAnOwnPortStays) {
    const PortRow rows[] = {
        {"Pop3PortToImap", kPop3, "110", kImap, "993"},
        {"NoPortToImap", kPop3, " ", kImap, "993"},
        {"OwnPortToImap", kPop3, "2110", kImap, "2110"},
        {"ImapsPortToPop3", kImap, "993", kPop3, "110"},
        {"Imap143ToPop3", kImap, "143", kPop3, "143"},
    };
    Open();
    for (const PortRow& row : rows) {
        ASSERT_TRUE(dialog->Choose("ProtocolBox", row.from)) << row.name;
        Set("PortTxt", row.port);
        ASSERT_TRUE(dialog->Choose("ProtocolBox", row.to)) << row.name;
        EXPECT_EQ(C("PortTxt").Text, row.expected) << row.name;
        EXPECT_EQ(C("FolderTxt").Enabled, row.to == kImap) << row.name;
    }
}

TEST_F(ProtocolFieldsTest, AddStoresProtocolAndFolderAndModifyKeepsTheCount) {
    Open();
    EXPECT_FALSE(C("FolderTxt").Enabled);
    ASSERT_TRUE(dialog->Choose("ProtocolBox", kImap));
    Set("FolderTxt", " Archiv/2024 ");
    AddAccount("imap", "993");
    AddAccount("pop");
    EXPECT_EQ(Stored(1, "protocol"), "imap");
    EXPECT_EQ(Stored(1, "folder"), "Archiv/2024");
    EXPECT_EQ(Stored(2, "protocol"), settings::kEmptyMarker) << "a POP3 account's file as before";
    EXPECT_EQ(C("ProtocolBox").Index, kPop3) << "the emptied fields start on POP3";
    EXPECT_EQ(C("FolderTxt").Text, "INBOX");

    tables.AccountTable[0].imap_count = "all";
    ASSERT_TRUE(dialog->Choose("LstAcc", 0));
    EXPECT_EQ(C("ProtocolBox").Index, kImap);
    EXPECT_EQ(C("FolderTxt").Text, "Archiv/2024");
    EXPECT_TRUE(C("FolderTxt").Enabled);
    Set("FolderTxt", "");
    dialog->Click("Modify");
    EXPECT_EQ(Stored(1, "folder"), "INBOX") << "an emptied folder is the inbox";
    EXPECT_EQ(Stored(1, "imap_count"), "all");

    ASSERT_TRUE(dialog->Choose("LstAcc", 1));
    EXPECT_EQ(C("ProtocolBox").Index, kPop3);
    EXPECT_FALSE(C("FolderTxt").Enabled);
}

}  // namespace
}  // namespace config::test
