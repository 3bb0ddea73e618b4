#include "ConfigTestSupport.h"
#include "config/SecurityFields.h"

namespace config::test {
namespace {

// Holds the search's completion until the test delivers it, as the window thread would.
class HeldSearch final : public SettingsSearch {
public:
    void Start(const autoconfig::Address& address, Done done) override {
        started.push_back(address.Whole);
        m_done = std::move(done);
    }
    void Cancel() override { m_done = nullptr; }
    bool Pending() const { return static_cast<bool>(m_done); }
    void Deliver(const std::optional<autoconfig::Found>& found) {
        Done done = std::move(m_done);
        m_done = nullptr;
        done(found);
    }
    std::vector<std::string> started;

private:
    Done m_done;
};

autoconfig::Found Gmail() {
    autoconfig::Found found;
    found.From = autoconfig::Source::Mx;
    found.Pop3 =
        autoconfig::Server{"pop.gmail.com", 995, autoconfig::Security::Tls, "bob@corp.org"};
    found.Smtp = autoconfig::Server{"smtp.gmail.com", 587, autoconfig::Security::StartTls, "x"};
    found.OAuth2 = true;
    return found;
}

class FindSettingsTest : public ConfigTest {
protected:
    void SetUp() override {
        Open();
        dialog->SetSettingsSearch(&search);
        Set("EmailAddr", " bob@Corp.org ");
    }
    void TearDown() override { dialog->SetSettingsSearch(nullptr); }
    const Control& C(const char* name) { return dialog->Controls[name]; }

    HeldSearch search;
};

TEST_F(FindSettingsTest, FoundSettingsFillThePopFieldsAndOnlyAnEmptySmtpServer) {
    ASSERT_TRUE(dialog->Click("BtnFind"));
    EXPECT_EQ(search.started, std::vector<std::string>{"bob@Corp.org"});
    EXPECT_EQ(C("BtnFind").Text, "Stop");
    search.Deliver(Gmail());
    EXPECT_EQ(C("NAccount").Text, "corp.org");
    EXPECT_EQ(C("HostTxt").Text, "pop.gmail.com");
    EXPECT_EQ(C("PortTxt").Text, "995");
    EXPECT_EQ(C("TlsMode").Index, SecurityIndex("tls"));
    EXPECT_EQ(C("UserName").Text, "bob@corp.org");
    EXPECT_EQ(C("SmtpName").Text, "smtp.gmail.com");
    EXPECT_EQ(C("PortEdit").Text, "587");
    EXPECT_EQ(C("SmtpTlsMode").Index, SecurityIndex("starttls"));
    EXPECT_EQ(C("FindStatus").Text,
              "Settings from the domain's mail server (MX). This provider needs an OAuth2 login: "
              "enter the command that prints a token as the Token command.");
    EXPECT_EQ(C("BtnFind").Text, "Find settings");
    EXPECT_TRUE(AccountNames().empty()) << "nothing is saved until the account is added";

    Set("SmtpName", "relay.corp.org");
    ASSERT_TRUE(dialog->Click("BtnFind"));
    search.Deliver(Gmail());
    EXPECT_EQ(C("SmtpName").Text, "relay.corp.org");
    EXPECT_EQ(C("PortEdit").Text, "587") << "kept from the first search";
}

TEST_F(FindSettingsTest, AnImapServerChoosesImapAndAPop3ServerPop3Again) {
    autoconfig::Found icloud;
    icloud.From = autoconfig::Source::Builtin;
    icloud.Imap =
        autoconfig::Server{"imap.mail.me.com", 993, autoconfig::Security::Tls, "bob@corp.org"};
    ASSERT_TRUE(dialog->Choose("ProtocolBox", 1));
    Set("FolderTxt", "Old");
    ASSERT_TRUE(dialog->Click("BtnFind"));
    search.Deliver(icloud);
    EXPECT_EQ(C("ProtocolBox").SelectedItem(), "IMAP");
    EXPECT_EQ(C("HostTxt").Text, "imap.mail.me.com");
    EXPECT_EQ(C("PortTxt").Text, "993");
    EXPECT_EQ(C("TlsMode").Index, SecurityIndex("tls"));
    EXPECT_EQ(C("FolderTxt").Text, "INBOX");
    EXPECT_TRUE(C("FolderTxt").Enabled);

    ASSERT_TRUE(dialog->Click("BtnFind"));
    search.Deliver(Gmail());
    EXPECT_EQ(C("ProtocolBox").SelectedItem(), "POP3");
    EXPECT_EQ(C("PortTxt").Text, "995");
    EXPECT_FALSE(C("FolderTxt").Enabled);
}

TEST_F(FindSettingsTest, NothingFoundAndStoppedSearches) {
    ASSERT_TRUE(dialog->Click("BtnFind"));
    search.Deliver(std::nullopt);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{
                                    "No settings found for corp.org; please enter them by hand."});
    EXPECT_EQ(C("HostTxt").Text, "");

    ASSERT_TRUE(dialog->Click("BtnFind"));
    ASSERT_TRUE(dialog->Click("BtnFind"));
    EXPECT_FALSE(search.Pending()) << "pressing again cancels";
    EXPECT_EQ(C("BtnFind").Text, "Find settings");

    ASSERT_TRUE(dialog->Click("BtnFind"));
    dialog->CancelClick();
    EXPECT_FALSE(search.Pending()) << "closing the dialog cancels";
}

TEST(FoundText, SourceAloneOrWithWhatToJudge) {
    autoconfig::Found srv;
    srv.From = autoconfig::Source::Srv;
    srv.Pop3 = autoconfig::Server{"pop.corp.org", 995, autoconfig::Security::Tls, "bob"};
    EXPECT_EQ(FoundText(srv, "corp.org"), "Settings from DNS (SRV)");

    autoconfig::Found guess;
    guess.From = autoconfig::Source::Guess;
    guess.Pop3 = autoconfig::Server{"mail.hoster.net", 110, autoconfig::Security::Off, "bob"};
    guess.Foreign = true;
    EXPECT_EQ(FoundText(guess, "corp.org"),
              "Settings by trying the usual server names. The servers lie outside corp.org: check "
              "that they are your provider's. Warning: the server offers no TLS, the password "
              "travels in clear.");
}

}  // namespace
}  // namespace config::test
