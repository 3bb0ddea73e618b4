// vorla-setup and the search behind it against a local HTTP server for the autoconfig files,
// a local DNS server for SRV, MX and addresses, and Dovecot for the probes. Every name lies
// under home.arpa and every lookup goes to the local DNS server.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "DnsServer.h"
#include "DovecotServer.h"
#include "HttpServer.h"
#include "LoopbackListener.h"
#include "ScopedEnv.h"
#include "ServerProcess.h"
#include "SetupTool.h"
#include "autoconfig/Search.h"
#include "mail/PosixTransport.h"

namespace {

constexpr const char* kZone = R"(
_pop3s._tcp.srv.home.arpa. 60 IN SRV 0 0 0 .
_pop3._tcp.srv.home.arpa. 60 IN SRV 20 0 110 backup.srv.home.arpa.
_pop3._tcp.srv.home.arpa. 60 IN SRV 10 0 1110 pop.srv.home.arpa.
_submissions._tcp.srv.home.arpa. 60 IN SRV 0 1 465 smtp.srv.home.arpa.
_imaps._tcp.srv.home.arpa. 60 IN SRV 0 0 993 imap.srv.home.arpa.
_imaps._tcp.imaponly.home.arpa. 60 IN SRV 0 0 0 .
_imap._tcp.imaponly.home.arpa. 60 IN SRV 0 0 143 imap.imaponly.home.arpa.
hosted.home.arpa. 60 IN MX 20 mx.backup.home.arpa.
hosted.home.arpa. 60 IN MX 10 aspmx.l.google.com.
pop.guess.home.arpa. 60 IN A 127.0.0.1
imap.guess.home.arpa. 60 IN A 127.0.0.1
)";

constexpr const char* kCorpConfig = R"(<clientConfig><emailProvider>
  <incomingServer type="pop3"><hostname>pop.%EMAILDOMAIN%</hostname><port>995</port>
    <socketType>SSL</socketType><username>%EMAILLOCALPART%</username></incomingServer>
  <outgoingServer type="smtp"><hostname>smtp.corp.home.arpa</hostname><port>465</port>
    <socketType>SSL</socketType><username>%EMAILADDRESS%</username></outgoingServer>
</emailProvider></clientConfig>)";

constexpr const char* kWellKnownConfig = R"(<clientConfig><emailProvider>
  <incomingServer type="pop3"><hostname>pop3.wellknown.home.arpa</hostname><port>110</port>
    <socketType>STARTTLS</socketType><username>%EMAILADDRESS%</username>
    <authentication>OAuth2</authentication></incomingServer>
</emailProvider></clientConfig>)";

class SetupSearch : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_http = new harness::HttpServer;
        s_dns = new harness::DnsServer(kZone);
        AddFile("autoconfig.corp.home.arpa/mail/config-v1.1.xml", kCorpConfig);
        AddFile("wellknown.home.arpa/.well-known/autoconfig/mail/config-v1.1.xml",
                kWellKnownConfig);
    }
    static void TearDownTestSuite() {
        delete s_dns;
        delete s_http;
    }
    static void AddFile(const std::string& path, const std::string& content) {
        std::filesystem::create_directories(
            std::filesystem::path(s_http->Folder() + "/" + path).parent_path());
        s_http->AddFile(path, content);
    }
    static std::string Base() { return "http://127.0.0.1:" + std::to_string(s_http->Port()); }

    static harness::HttpServer* s_http;
    static harness::DnsServer* s_dns;
};

harness::HttpServer* SetupSearch::s_http = nullptr;
harness::DnsServer* SetupSearch::s_dns = nullptr;

struct ToolRow {
    const char* address;
    const char* output;
    int code;
};

TEST_F(SetupSearch, ToolPrintsWhatEachStepFinds) {
    const ToolRow rows[] = {
        {"bob@corp.home.arpa",
         "source: autoconfig\npop3: pop.corp.home.arpa 995 tls bob\n"
         "smtp: smtp.corp.home.arpa 465 tls bob@corp.home.arpa\noauth2: no\n",
         0},
        {"ann@wellknown.home.arpa",
         "source: autoconfig\npop3: pop3.wellknown.home.arpa 110 starttls "
         "ann@wellknown.home.arpa\noauth2: yes\n",
         0},
        {"bob@googlemail.com",
         "source: builtin\npop3: pop.gmail.com 995 tls bob@googlemail.com\n"
         "smtp: smtp.gmail.com 465 tls bob@googlemail.com\noauth2: yes\n",
         0},
        {"bob@srv.home.arpa",
         "source: srv\npop3: pop.srv.home.arpa 1110 starttls bob@srv.home.arpa\n"
         "smtp: smtp.srv.home.arpa 465 tls bob@srv.home.arpa\noauth2: no\n",
         0},
        {"bob@hosted.home.arpa",
         "source: mx\npop3: pop.gmail.com 995 tls bob@hosted.home.arpa\n"
         "smtp: smtp.gmail.com 465 tls bob@hosted.home.arpa\noauth2: yes\n",
         0},
        {"bob@imaponly.home.arpa",
         "source: srv\nprotocol: imap\nimap: imap.imaponly.home.arpa 143 starttls "
         "bob@imaponly.home.arpa\noauth2: no\n",
         0},
        {"bob@icloud.com",
         "source: builtin\nprotocol: imap\nimap: imap.mail.me.com 993 tls bob@icloud.com\n"
         "smtp: smtp.mail.me.com 587 starttls bob@icloud.com\noauth2: no\n",
         0},
        {"bob@nothing.home.arpa", "not found\n", 1},
    };
    const testsupport::ScopedEnv base("VORLA_AUTOCONFIG_BASE", Base());
    const testsupport::ScopedEnv dns("VORLA_DNS_SERVER", s_dns->Address());
    for (const ToolRow& row : rows) {
        std::ostringstream out;
        std::ostringstream err;
        const int code =
            setuptool::Run({row.address}, autoconfig::SearchOptions::FromEnvironment(), out, err);
        EXPECT_EQ(out.str(), row.output) << row.address << ": " << err.str();
        EXPECT_EQ(code, row.code) << row.address;
    }
}

TEST_F(SetupSearch, GuessTakesThePop3ServerThatOffersStlsElseTheImapOne) {
    harness::DovecotServer dovecot(true);
    autoconfig::SearchOptions options;
    options.AutoconfigBase = Base();
    options.DnsServer = s_dns->Address();
    // Dovecot's ports stand in for 995, 110, 993 and 143; its certificate is not trusted, so
    // only a plain port with STLS or STARTTLS can win.
    options.Pop3TlsPort = dovecot.PopsPort();
    options.Pop3Port = dovecot.Port();
    options.ImapTlsPort = dovecot.ImapsPort();
    options.ImapPort = dovecot.ImapPort();
    const std::atomic<bool> stop{false};
    const auto address = autoconfig::ParseAddress("vorla@guess.home.arpa");
    ASSERT_TRUE(address);
    const auto found = autoconfig::FindSettings(*address, options, stop);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->From, autoconfig::Source::Guess);
    ASSERT_TRUE(found->Pop3);
    EXPECT_FALSE(found->Imap) << "POP3 is preferred";
    EXPECT_EQ(found->Pop3->Host, "pop.guess.home.arpa");
    EXPECT_EQ(found->Pop3->Port, dovecot.Port());
    EXPECT_EQ(found->Pop3->Mode, autoconfig::Security::StartTls);
    EXPECT_EQ(found->Pop3->Login, "vorla@guess.home.arpa");
    EXPECT_FALSE(found->Smtp);

    // Nothing listens on the POP3 ports any more: the IMAP probes answer.
    options.Pop3TlsPort = options.Pop3Port = harness::ServerProcess::FreePort();
    const auto imap = autoconfig::FindSettings(*address, options, stop);
    ASSERT_TRUE(imap);
    ASSERT_TRUE(imap->Imap);
    EXPECT_EQ(imap->Imap->Host, "imap.guess.home.arpa");
    EXPECT_EQ(imap->Imap->Port, dovecot.ImapPort());
    EXPECT_EQ(imap->Imap->Mode, autoconfig::Security::StartTls);
}

TEST(SettingsProbe, StopEndsProbesThatWaitForAGreeting) {
    // The listener never accepts: the connection opens and no greeting ever comes.
    harness::LoopbackListener silent(8);
    const std::vector<autoconfig::ProbeTarget> targets{
        {"127.0.0.1", silent.Port(), autoconfig::Security::StartTls},
        {"127.0.0.1", silent.Port(), autoconfig::Security::Tls}};
    mail::PosixTransportFactory factory;
    const autoconfig::ProbeTimes times{std::chrono::seconds(30), std::chrono::milliseconds(100)};
    std::atomic<bool> stop{false};
    std::thread user([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop = true;
    });
    const auto started = std::chrono::steady_clock::now();
    const auto found =
        autoconfig::FirstAnswering(autoconfig::Protocol::Pop3, targets, factory, times, stop);
    const auto took = std::chrono::steady_clock::now() - started;
    user.join();
    EXPECT_FALSE(found);
    EXPECT_LT(took, std::chrono::seconds(10)) << "the stop, not the 30 s time-out, ended it";
}

}  // namespace
