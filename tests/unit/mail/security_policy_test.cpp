// The security policy of both clients over a scripted server: what is sent in clear, when TLS
// is put over the connection, and what refuses a session before any credential leaves.
#include <gtest/gtest.h>

#include "FakeEventPump.h"
#include "ScriptedTransport.h"
#include "mail/QelPOP3.h"
#include "mail/QelSMTP.h"
#include "mail/TlsTransport.h"
#include "mail/TokenCommand.h"
#include "platform/LocalHost.h"

namespace {

using mail::TlsMode;
using testsupport::Script;

class PopPolicyTest : public ::testing::Test {
protected:
    PopPolicyTest() : factory(script), pop(factory, pump, clock) {
        script.clock = &clock;
        pop.Host = "pop.mail.org";
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
        .Client("CAPA\r\n")
        .Server("+OK\r\nUSER\r\n.\r\n")
        .Client("USER bob\r\n")
        .Server("+OK\r\n")
        .Client("PASS secret\r\n")
        .Server("+OK\r\n");
    pop.Connect();
    EXPECT_EQ(script.tlsStarts, 0);
    EXPECT_TRUE(pop.Login("bob", "secret")) << error;
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
    EXPECT_FALSE(pop.Login("bob", "secret"));
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
        EXPECT_TRUE(pop.Login("bob", "secret")) << error;
        script.ExpectDone();
    }
}

// After STLS the capabilities are asked again, and only the answer over TLS counts: the one
// in clear may have been changed on the way.
TEST_F(PopPolicyTest, CapabilitiesAreAskedAgainOverTls) {
    struct Row {
        const char* name;
        std::string clearSasl, tlsSasl;
        bool tokenSent;
    } rows[] = {
        {"mechanism stripped from the clear answer", "SASL PLAIN", "SASL PLAIN XOAUTH2", true},
        {"mechanism added to the clear answer", "SASL XOAUTH2", "SASL PLAIN", false},
    };
    pop.OAuthCommand = "echo tok";
    const std::string response = mail::XOAuth2Response("bob", "tok");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        script = Script();
        script.clock = &clock;
        error.clear();
        script.Server("+OK ready\r\n")
            .Client("CAPA\r\n")
            .Server("+OK\r\nSTLS\r\n" + r.clearSasl + "\r\n.\r\n")
            .Client("STLS\r\n")
            .Server("+OK Begin TLS\r\n")
            .Client("CAPA\r\n")
            .Server("+OK\r\nUSER\r\n" + r.tlsSasl + "\r\n.\r\n");
        if (r.tokenSent)
            script.Client("AUTH XOAUTH2 " + response + "\r\n").Server("+OK\r\n");
        pop.Connect();
        EXPECT_EQ(pop.Login("bob", "secret"), r.tokenSent) << error;
        EXPECT_EQ(script.tlsStarts, 1);
        EXPECT_EQ(error.find("offers no XOAUTH2") != std::string::npos, !r.tokenSent) << error;
        script.ExpectDone();
    }
}

// A POP3 command line holds 255 octets: a longer XOAUTH2 response goes on its own line after
// the server's "+", and the trace masks it there too.
TEST_F(PopPolicyTest, LongXOAuth2ResponseWaitsForTheContinuation) {
    std::string trace;
    pop.OnSendTextToSocket = [&](mail::TObject*, const std::string& s) { trace += s; };
    pop.Security = TlsMode::Off;
    // 157 bytes of token make the AUTH line exactly 255 octets with its CR LF.
    for (const std::size_t length : {std::size_t{157}, std::size_t{158}, std::size_t{2000}}) {
        SCOPED_TRACE(length);
        const std::string token(length, 't');
        const std::string response = mail::XOAuth2Response("bob", token);
        script = Script();
        script.clock = &clock;
        trace.clear();
        pop.OAuthCommand = "echo " + token;
        script.Server("+OK ready\r\n");
        if (length <= 157)
            script.Client("AUTH XOAUTH2 " + response + "\r\n");
        else
            script.Client("AUTH XOAUTH2\r\n").Server("+ \r\n").Client(response + "\r\n");
        script.Server("+OK welcome\r\n");
        pop.Connect();
        EXPECT_TRUE(pop.Login("bob", "secret")) << error;
        EXPECT_EQ(trace.find(response), std::string::npos) << trace;
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
    script.Server("220 ready\r\n")
        .Client("EHLO " + host + "\r\n")
        .Server("250-mail.org\r\n250-AUTH LOGIN\r\n250 STARTTLS\r\n")
        .Client("STARTTLS\r\n")
        .Server("220 go ahead\r\n")
        .Client("EHLO " + host + "\r\n")
        .Server("250-mail.org\r\n250 AUTH PLAIN LOGIN\r\n")
        .Client("AUTH PLAIN AGJvYgBzZWNyZXQ=\r\n")
        .Server("235 ok\r\n");
    smtp.Connect("bob", "secret");
    EXPECT_FALSE(smtp.Failed) << error;
    EXPECT_EQ(script.tlsStarts, 1);
    EXPECT_EQ(trace.find("AGJvYgBzZWNyZXQ="), std::string::npos);
    script.ExpectDone();
}

TEST_F(SmtpPolicyTest, NoStarttlsOffLoopbackSendsNoAuth) {
    script.Server("220 ready\r\n")
        .Client("EHLO " + host + "\r\n")
        .Server("250-mail.org\r\n250 AUTH PLAIN\r\n");
    smtp.Connect("bob", "secret");
    EXPECT_TRUE(smtp.Failed);
    EXPECT_EQ(errorCode, mail::TQelSMTP::kErrRefused);
    EXPECT_NE(error.find("\"None\""), std::string::npos) << error;
    EXPECT_EQ(script.allSent.find("AUTH"), std::string::npos);
}

// The same for SMTP against its limit of 12,288 octets with AUTH.
TEST_F(SmtpPolicyTest, LongXOAuth2ResponseWaitsForTheChallenge) {
    smtp.Host = "127.0.0.1";
    // 9181 bytes of token make the AUTH line 12,287 octets; 9182 make it 12,291.
    for (const std::size_t length : {std::size_t{9181}, std::size_t{9182}}) {
        SCOPED_TRACE(length);
        const std::string token(length, 't');
        const std::string response = mail::XOAuth2Response("bob", token);
        script = Script();
        script.clock = &clock;
        trace.clear();
        smtp.OAuthCommand = "echo " + token;
        script.Server("220 ready\r\n")
            .Client("EHLO " + host + "\r\n")
            .Server("250-mail.org\r\n250 AUTH PLAIN XOAUTH2\r\n");
        if (length == 9181)
            script.Client("AUTH XOAUTH2 " + response + "\r\n");
        else
            script.Client("AUTH XOAUTH2\r\n").Server("334 \r\n").Client(response + "\r\n");
        script.Server("235 ok\r\n");
        smtp.Connect("bob");
        EXPECT_FALSE(smtp.Failed) << error;
        EXPECT_EQ(trace.find(response), std::string::npos);
        script.ExpectDone();
    }
}

// A server that keeps challenging after the exchange a mechanism needs has refused the login;
// its challenge is no text for the user.
TEST_F(SmtpPolicyTest, EndlessChallengesAreARefusedLogin) {
    struct Row {
        const char* name;
        std::string offer;
        bool oauth;
        std::vector<std::string> exchange;  // client line, server reply, ...
        std::string text;
    } rows[] = {
        {"LOGIN",
         "AUTH LOGIN",
         false,
         {"AUTH LOGIN", "334 VXNlcm5hbWU6", "Ym9i", "334 UGFzc3dvcmQ6", "c2VjcmV0",
          "334 VXNlcm5hbWU6"},
         "The server refused the login (AUTH LOGIN)."},
        {"PLAIN",
         "AUTH PLAIN",
         false,
         {"AUTH PLAIN AGJvYgBzZWNyZXQ=", "334 "},
         "The server refused the login (AUTH PLAIN)."},
        {"XOAUTH2",
         "AUTH XOAUTH2",
         true,
         {"AUTH XOAUTH2 " + mail::XOAuth2Response("bob", "tok"), "334 eyJzdGF0dXMiOiI0MDEifQ==", "",
          "334 "},
         "The server refused the login (AUTH XOAUTH2)."},
    };
    smtp.Host = "127.0.0.1";
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        script = Script();
        script.clock = &clock;
        error.clear();
        smtp.OAuthCommand = r.oauth ? "echo tok" : "";
        script.Server("220 ready\r\n")
            .Client("EHLO " + host + "\r\n")
            .Server("250-mail.org\r\n250 " + r.offer + "\r\n");
        for (std::size_t i = 0; i + 1 < r.exchange.size(); i += 2)
            script.Client(r.exchange[i] + "\r\n").Server(r.exchange[i + 1] + "\r\n");
        smtp.Connect("bob", "secret");
        EXPECT_TRUE(smtp.Failed);
        EXPECT_FALSE(smtp.Connected);
        EXPECT_EQ(error, r.text);
        script.ExpectDone();
    }
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
