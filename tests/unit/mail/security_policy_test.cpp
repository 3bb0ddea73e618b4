// The security policy of both clients over a scripted server: what is sent in clear, when TLS
// is put over the connection, and what refuses a session before any credential leaves.
#include <gtest/gtest.h>

#include "FakeEventPump.h"
#include "ScriptedTransport.h"
#include "mail/QelPOP3.h"
#include "mail/QelSMTP.h"
#include "mail/TlsTransport.h"
#include "platform/LocalHost.h"

namespace {

using mail::TlsMode;
using testsupport::Script;

class PopPolicyTest : public ::testing::Test {
protected:
    PopPolicyTest() : factory(script), pop(factory, pump, clock) {
        script.clock = &clock;
        pop.Host = "pop.mail.org";
        pop.UserId = "bob";
        pop.UserPasswd = "secret";
        pop.OnError = [this](mail::TObject*, int, const std::string& msg) { error = msg; };
    }

    Script script;
    testsupport::FakeClock clock;
    testsupport::FakeEventPump pump;
    testsupport::ScriptedFactory factory;
    mail::TQelPOP pop;
    std::string error;
};

TEST_F(PopPolicyTest, AutoOnPort110UsesStlsWhenOffered) {
    script.Server("+OK ready\r\n")
        .Client("CAPA\r\n")
        .Server("+OK\r\nUSER\r\nSTLS\r\n.\r\n")
        .Client("STLS\r\n")
        .Server("+OK Begin TLS\r\n")
        .Client("USER bob\r\n")
        .Server("+OK\r\n")
        .Client("PASS secret\r\n")
        .Server("+OK\r\n");
    pop.Connect();
    EXPECT_EQ(script.tlsStarts, 0);
    EXPECT_TRUE(pop.Login()) << error;
    EXPECT_EQ(script.tlsStarts, 1);
    EXPECT_EQ(script.tlsServerName, "pop.mail.org");
    script.ExpectDone();
}

TEST_F(PopPolicyTest, AutoOffLoopbackWithoutStlsSendsNoCredential) {
    // The CAPA answer arrives in two reads; neither offers STLS.
    script.Server("+OK ready\r\n")
        .Client("CAPA\r\n")
        .Server("+OK\r\nUSER\r\n")
        .Server("SASL PLAIN\r\n.\r\n");
    pop.Connect();
    EXPECT_FALSE(pop.Login());
    EXPECT_EQ(script.allSent.find("USER"), std::string::npos);
    EXPECT_NE(error.find("\"None\""), std::string::npos) << error;
    EXPECT_FALSE(pop.Connected);
    EXPECT_EQ(script.tlsStarts, 0);
}

TEST_F(PopPolicyTest, ModesThatNeedNoCapa) {
    struct Row {
        const char* name;
        std::string host, port;
        TlsMode mode;
        int tlsAtConnect;
    } rows[] = {
        {"auto to loopback is plain as before", "127.0.0.1", "110", TlsMode::Auto, 0},
        {"off is plain anywhere", "pop.mail.org", "110", TlsMode::Off, 0},
        {"auto on 995 is TLS from the first byte", "pop.mail.org", "995", TlsMode::Auto, 1},
        {"tls on any port", "pop.mail.org", "110", TlsMode::Tls, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        script = Script();
        script.clock = &clock;
        pop.Host = r.host;
        pop.Port = r.port;
        pop.Security = r.mode;
        script.Server("+OK ready\r\n")
            .Client("USER bob\r\n")
            .Server("+OK\r\n")
            .Client("PASS secret\r\n")
            .Server("+OK\r\n");
        pop.Connect();
        EXPECT_EQ(script.tlsStarts, r.tlsAtConnect);
        EXPECT_TRUE(pop.Login()) << error;
        script.ExpectDone();
    }
}

class SmtpPolicyTest : public ::testing::Test {
protected:
    SmtpPolicyTest() : factory(script), smtp(factory, pump, clock) {
        script.clock = &clock;
        smtp.Host = "smtp.mail.org";
        smtp.Port = "587";
        smtp.OnError = [this](mail::TObject*, int code, const std::string& msg) {
            errorCode = code;
            error = msg;
        };
        smtp.OnSendTextToSocket = [this](mail::TObject*, const std::string& s) { trace += s; };
    }

    const std::string host = platform::LocalHostName();
    Script script;
    testsupport::FakeClock clock;
    testsupport::FakeEventPump pump;
    testsupport::ScriptedFactory factory;
    mail::TQelSMTP smtp;
    int errorCode = 0;
    std::string error;
    std::string trace;
};

TEST_F(SmtpPolicyTest, HeloWhenEhloIsRefused) {
    smtp.Host = "127.0.0.1";
    script.Server("220 old server\r\n")
        .Client("EHLO " + host + "\r\n")
        .Server("500 unknown command\r\n")
        .Client("HELO " + host + "\r\n")
        .Server("250 hello\r\n");
    smtp.Connect();
    EXPECT_FALSE(smtp.Failed) << error;
    EXPECT_TRUE(smtp.Connected);
    script.ExpectDone();
}

TEST_F(SmtpPolicyTest, StarttlsThenEhloAgainThenAuthPlainMasked) {
    smtp.UserId = "bob";
    smtp.UserPasswd = "secret";
    script.Server("220 ready\r\n")
        .Client("EHLO " + host + "\r\n")
        .Server("250-mail.org\r\n250-AUTH LOGIN\r\n250 STARTTLS\r\n")
        .Client("STARTTLS\r\n")
        .Server("220 go ahead\r\n")
        .Client("EHLO " + host + "\r\n")
        .Server("250-mail.org\r\n250 AUTH PLAIN LOGIN\r\n")
        .Client("AUTH PLAIN AGJvYgBzZWNyZXQ=\r\n")
        .Server("235 ok\r\n");
    smtp.Connect();
    EXPECT_FALSE(smtp.Failed) << error;
    EXPECT_EQ(script.tlsStarts, 1);
    EXPECT_EQ(trace.find("AGJvYgBzZWNyZXQ="), std::string::npos);
    script.ExpectDone();
}

TEST_F(SmtpPolicyTest, NoStarttlsOffLoopbackSendsNoAuth) {
    smtp.UserId = "bob";
    smtp.UserPasswd = "secret";
    script.Server("220 ready\r\n")
        .Client("EHLO " + host + "\r\n")
        .Server("250-mail.org\r\n250 AUTH PLAIN\r\n");
    smtp.Connect();
    EXPECT_TRUE(smtp.Failed);
    EXPECT_EQ(errorCode, mail::TQelSMTP::kErrRefused);
    EXPECT_NE(error.find("\"None\""), std::string::npos) << error;
    EXPECT_EQ(script.allSent.find("AUTH"), std::string::npos);
}

TEST(TlsSettings, FingerprintAndLoopbackAndMode) {
    const std::string pin =
        "3a:7f:00:11:22:33:44:55:66:77:88:99:aa:bb:cc:dd:ee:ff:01:23:45:67:89:ab:cd:ef:10:20:30:"
        "40:50:60";
    EXPECT_EQ(mail::NormalizeFingerprint(pin),
              "3A7F00112233445566778899AABBCCDDEEFF0123456789ABCDEF102030405060");
    EXPECT_EQ(mail::NormalizeFingerprint(pin.substr(3)), "");
    EXPECT_EQ(mail::NormalizeFingerprint(pin + "zz"), "");
    const unsigned char digest[] = {0x0f, 0xa0, 0xff};
    EXPECT_EQ(mail::FormatFingerprint(digest, 3), "0F:A0:FF");
    EXPECT_TRUE(mail::IsLoopbackHost("127.0.0.1"));
    EXPECT_TRUE(mail::IsLoopbackHost("127.4.5.6"));
    EXPECT_TRUE(mail::IsLoopbackHost("LocalHost"));
    EXPECT_FALSE(mail::IsLoopbackHost("127.example.org"));
    EXPECT_FALSE(mail::IsLoopbackHost("10.0.0.1"));
    EXPECT_EQ(mail::ParseTlsMode(" StartTLS "), TlsMode::StartTls);
    EXPECT_EQ(mail::ParseTlsMode("sometimes"), TlsMode::Auto);
}

}  // namespace
