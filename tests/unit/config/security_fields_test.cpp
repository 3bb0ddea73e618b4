// The security fields of the account editor and the SMTP page: what they load, what they store,
// the default for port 995 and the refused fingerprints.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ConfigTestSupport.h"
#include "config/ConfigTexts.h"
#include "settings/FindInSkin.h"

namespace config::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr int kAuto = 0;
constexpr int kTls = 1;
constexpr int kStartTls = 2;
constexpr int kNone = 3;

// 32 pairs of the digits, colon-separated, as "openssl x509 -fingerprint" prints them.
std::string Pairs(const std::string& pair) {
    std::string text = pair;
    for (int n = 1; n < 32; ++n) {
        text += ":" + pair;
    }
    return text;
}

class SecurityFieldsTest : public ConfigTest {
protected:
    std::string Stored(int number, const char* key) const {
        return settings::FindKeyInSection(Folder() + "Accounts.ini",
                                          "[Account" + std::to_string(number) + "]", key);
    }
    int SecurityShown() const { return dialog->Controls["TlsMode"].Index; }
};

TEST_F(SecurityFieldsTest, TheAccountFieldsAreWrittenAfterIsignAndShownAgain) {
    Open();
    EXPECT_THAT(dialog->Controls["TlsMode"].Items, ElementsAre("Auto", "TLS", "STARTTLS", "None"));
    EXPECT_EQ(dialog->Controls["TlsMode"].Caption, "Security :");
    ASSERT_TRUE(dialog->Choose("TlsMode", kStartTls));
    Set("TlsFingerprint", " " + Pairs("ab") + " ");
    Set("OAuthCommand", "oauth2-token --account home");
    AddAccount("home");
    AddAccount("plain");
    EXPECT_THAT(dialogs.messages, IsEmpty());
    EXPECT_THAT(ReadFile("Accounts.ini"),
                HasSubstr("isign = 0\r\ntls_mode = starttls\r\ntls_fingerprint = " + Pairs("ab") +
                          "\r\noauth_command = oauth2-token --account home\r\n"));
    EXPECT_EQ(Stored(2, "tls_mode"), "auto");
    EXPECT_EQ(Stored(2, "oauth_command"), settings::kEmptyMarker);

    ASSERT_TRUE(dialog->Choose("LstAcc", 0));
    EXPECT_EQ(SecurityShown(), kStartTls);
    EXPECT_EQ(dialog->Controls["TlsFingerprint"].Text, Pairs("ab"));
    EXPECT_EQ(dialog->Controls["OAuthCommand"].Text, "oauth2-token --account home");
    ASSERT_TRUE(dialog->Choose("TlsMode", kNone));
    Set("OAuthCommand", "");
    dialog->Click("Modify");
    EXPECT_EQ(Stored(1, "tls_mode"), "off");
    EXPECT_EQ(Stored(1, "oauth_command"), settings::kEmptyMarker);
    EXPECT_EQ(Stored(1, "tls_fingerprint"), Pairs("ab"));

    // A second account shown after the first shows its own fields, not the first one's.
    ASSERT_TRUE(dialog->Choose("LstAcc", 1));
    EXPECT_EQ(SecurityShown(), kAuto);
    EXPECT_EQ(dialog->Controls["TlsFingerprint"].Text, "");
}

TEST_F(SecurityFieldsTest, Port995ChoosesTlsForANewAccountWhileTheSecurityIsLeftAlone) {
    Open();
    Set("PortTxt", "995");
    EXPECT_EQ(SecurityShown(), kTls);
    Set("PortTxt", "110");
    EXPECT_EQ(SecurityShown(), kAuto) << "the choice made for 995 is taken back";

    ASSERT_TRUE(dialog->Choose("TlsMode", kStartTls));
    Set("PortTxt", "995");
    EXPECT_EQ(SecurityShown(), kStartTls) << "the user's own choice stays";

    ASSERT_TRUE(dialog->Choose("TlsMode", kAuto));
    Set("PortTxt", "995");
    ASSERT_TRUE(dialog->Choose("TlsMode", kTls));
    Set("PortTxt", "9950");
    EXPECT_EQ(SecurityShown(), kTls) << "TLS chosen by the user again";

    AddAccount("provider", "995");
    EXPECT_EQ(Stored(1, "tls_mode"), "tls");
    EXPECT_EQ(SecurityShown(), kAuto) << "the emptied fields start on Auto";
}

TEST_F(SecurityFieldsTest, AStoredAutoAccountMovedTo995KeepsAuto) {
    Open();
    AddAccount("home");
    ASSERT_TRUE(dialog->Choose("LstAcc", 0));
    Set("PortTxt", "995");
    EXPECT_EQ(SecurityShown(), kAuto);
    dialog->Click("Modify");
    EXPECT_EQ(Stored(1, "tls_mode"), "auto");
    EXPECT_EQ(Stored(1, "port_number"), "995");
}

TEST_F(SecurityFieldsTest, AMistypedAccountFingerprintIsRefusedAndNothingIsWritten) {
    Open();
    AddAccount("home");
    const std::string before = ReadFile("Accounts.ini");
    const std::string typos[] = {Pairs("ab").substr(3), Pairs("ab") + ":cd", Pairs("ag"),
                                 "SHA256 Fingerprint=" + Pairs("AB")};
    for (const std::string& typo : typos) {
        dialogs.messages.clear();
        Set("TlsFingerprint", typo);
        AddAccount("work");
        EXPECT_THAT(dialogs.messages, ElementsAre(kBadFingerprint)) << typo;
        EXPECT_EQ(tables.AccountCount, 1) << typo;
    }
    ASSERT_TRUE(dialog->Choose("LstAcc", 0));
    Set("TlsFingerprint", "12345");
    dialog->Click("Modify");
    EXPECT_EQ(tables.AccountTable[0].tls_fingerprint, "");
    EXPECT_EQ(ReadFile("Accounts.ini"), before);

    dialogs.messages.clear();
    std::string mixed;
    for (int n = 0; n < 32; ++n) {
        mixed += "aB";
    }
    Set("TlsFingerprint", mixed);
    dialog->Click("Modify");
    EXPECT_THAT(dialogs.messages, IsEmpty());
    EXPECT_EQ(Stored(1, "tls_fingerprint"), mixed);
}

TEST_F(SecurityFieldsTest, TheSmtpSecurityIsShownTakenOnOkAndABadPinKeepsTheDialogOpen) {
    settings.smtp_tls_mode = "tls";
    settings.smtp_tls_fingerprint = Pairs("0F");
    Open();
    EXPECT_EQ(dialog->Controls["SmtpTlsMode"].Index, kTls);
    EXPECT_EQ(dialog->Controls["SmtpFingerprint"].Text, Pairs("0F"));

    ASSERT_TRUE(dialog->Choose("SmtpTlsMode", kStartTls));
    Set("SmtpFingerprint", "0F:0F");
    dialog->Click("OK");
    EXPECT_THAT(dialogs.messages, ElementsAre(kBadFingerprint));
    EXPECT_EQ(dialog->Result(), DialogResult::Pending);
    EXPECT_TRUE(dialog->Controls["AdvPan"].Visible);
    EXPECT_EQ(dialog->Focused(), "SmtpFingerprint");

    Set("SmtpFingerprint", "");
    dialog->Click("OK");
    EXPECT_EQ(dialog->Result(), DialogResult::Ok);
    dialog->ReadConfigDialog();
    EXPECT_EQ(settings.smtp_tls_mode, "starttls");
    EXPECT_EQ(settings.smtp_tls_fingerprint, "");
}

}  // namespace
}  // namespace config::test
