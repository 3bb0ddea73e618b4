// The mail clients over TLS against the harness's Dovecot (POP3S, STLS) and SMTP server
// (STARTTLS, SMTPS, AUTH), with the harness's self-signed certificate.
#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "DovecotServer.h"
#include "DovecotSuiteTest.h"
#include "LoopbackListener.h"
#include "SmtpServer.h"
#include "mail/PosixTransport.h"
#include "mail/QelPOP3.h"
#include "mail/QelSMTP.h"

namespace {

using mail::TlsMode;

struct Session {
    std::vector<std::string> sent;
    int error = 0;
    std::string errorText;

    template <class Client>
    void Watch(Client& client) {
        client.OnSendTextToSocket = [this](mail::TObject*, const std::string& s) {
            sent.push_back(s);
        };
        client.OnError = [this](mail::TObject*, int e, const std::string& m) {
            error = e;
            errorText = m;
        };
    }
    bool Sent(const std::string& prefix) const {
        for (const auto& s : sent)
            if (s.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
};

class PopTlsTest : public harness::DovecotSuiteTest {
protected:
    static void SetUpTestSuite() { Serve(true, {"Subject: one\r\n\r\nbody\r\n"}); }

    PopTlsTest() { session.Watch(pop); }

    // A fresh session over POP3S (Tls) or over STLS on the plain port (StartTls).
    void Over(TlsMode mode) {
        session = Session();
        session.Watch(pop);
        pop.Port = std::to_string(mode == TlsMode::Tls ? Server().PopsPort() : Server().Port());
        pop.Security = mode;
    }

    // Connect, login and STAT; true when the count came.
    bool Check() {
        pop.Connect();
        if (pop.Failed || !pop.Login(Server().User(), password))
            return false;
        pop.GetMailCount();
        const bool counted = pop.Connected && pop.MessageCount == 1;
        pop.Quit();
        return counted;
    }

    // Handed to each login; a test clears it to log in by token alone.
    std::string password = Server().Pass();
    Session session;
};

TEST_F(PopTlsTest, PinnedCertificateChecksOverPop3sAndStls) {
    Over(TlsMode::Tls);
    pop.TlsFingerprint = Server().Fingerprint();
    EXPECT_TRUE(Check()) << session.errorText;
    EXPECT_FALSE(session.Sent("STLS"));

    Over(TlsMode::StartTls);
    // Colons and letter case do not matter in a pin.
    std::string pin;
    for (char c : Server().Fingerprint())
        if (c != ':')
            pin += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    pop.TlsFingerprint = pin;
    EXPECT_TRUE(Check()) << session.errorText;
    EXPECT_TRUE(session.Sent("STLS\r\n"));
    EXPECT_TRUE(session.Sent("PASS ****"));
}

TEST_F(PopTlsTest, UnpinnedOrWronglyPinnedCertificateIsRefusedBeforeUser) {
    Over(TlsMode::Tls);
    EXPECT_FALSE(Check());
    EXPECT_NE(session.errorText.find("is not trusted"), std::string::npos) << session.errorText;
    EXPECT_NE(session.errorText.find(Server().Fingerprint()), std::string::npos)
        << session.errorText;
    EXPECT_FALSE(session.Sent("USER"));

    Over(TlsMode::StartTls);
    pop.TlsFingerprint = std::string(64, 'A');
    EXPECT_FALSE(Check());
    EXPECT_NE(session.errorText.find("does not match the pinned fingerprint"), std::string::npos)
        << session.errorText;
    EXPECT_FALSE(session.Sent("USER"));
}

TEST_F(PopTlsTest, TokenCommandLogsInWithXOAuth2AndAWrongTokenGetsTheServersText) {
    Over(TlsMode::Tls);
    pop.TlsFingerprint = Server().Fingerprint();
    password.clear();
    pop.OAuthCommand = "echo " + harness::DovecotServer::Token() + "; echo second line";
    EXPECT_TRUE(Check()) << session.errorText;
    EXPECT_TRUE(session.Sent("AUTH XOAUTH2 ****\r\n"));
    EXPECT_FALSE(session.Sent("USER"));

    Over(TlsMode::StartTls);
    // The password is no token: XOAUTH2 is checked against the tokens only.
    pop.OAuthCommand = "echo " + Server().Pass();
    EXPECT_FALSE(Check());
    EXPECT_TRUE(session.Sent("STLS\r\n"));
    EXPECT_NE(session.errorText.find("Authentication failed"), std::string::npos)
        << session.errorText;
    for (const std::string& line : session.sent) {
        EXPECT_EQ(line.find(harness::DovecotServer::Token()), std::string::npos) << line;
        EXPECT_EQ(line.find(Server().Pass()), std::string::npos) << line;
    }
}

TEST(PopTlsPlainServerTest, StarttlsWithoutStlsOfferedSendsNoUser) {
    harness::DovecotServer plain;
    mail::PosixTransportFactory factory;
    platform::NullEventPump pump;
    mail::TQelPOP pop(factory, pump);
    Session session;
    session.Watch(pop);
    plain.PointAt(pop);
    pop.Security = TlsMode::StartTls;
    pop.Connect();
    ASSERT_FALSE(pop.Failed);
    EXPECT_FALSE(pop.Login(plain.User(), plain.Pass()));
    EXPECT_NE(session.errorText.find("offers no STLS"), std::string::npos) << session.errorText;
    EXPECT_TRUE(session.Sent("CAPA"));
    EXPECT_FALSE(session.Sent("USER"));
}

// A server that takes the connection and never answers the handshake.
TEST(TlsTimeOutTest, SilentServerEndsAtTheTimeOut) {
    harness::LoopbackListener listener(4);

    mail::PosixTransportFactory factory;
    platform::NullEventPump pump;
    mail::TQelPOP pop(factory, pump);
    Session session;
    session.Watch(pop);
    pop.Host = "127.0.0.1";
    pop.Port = std::to_string(listener.Port());
    pop.Security = TlsMode::Tls;
    pop.TimeOut = 600;
    const auto start = std::chrono::steady_clock::now();
    pop.Connect();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(pop.Failed);
    EXPECT_NE(session.errorText.find("TLS handshake in time"), std::string::npos)
        << session.errorText;
    EXPECT_GE(elapsed, std::chrono::milliseconds(550));
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

class SmtpTlsTest : public ::testing::Test {
protected:
    void Start(const harness::SmtpServer::Options& options, TlsMode security) {
        server = std::make_unique<harness::SmtpServer>(options);
        smtp.Security = security;
        smtp.Host = "127.0.0.1";
        smtp.Port = std::to_string(server->Port());
        smtp.TimeOut = 10000;
        smtp.TlsFingerprint = server->Fingerprint();
        session.Watch(smtp);
        message.From = "me@here.org";
        message.SendTo = "you@there.org";
        message.Text = {"hello"};
    }
    bool Send() {
        smtp.Connect(harness::SmtpServer::User(), password);
        if (smtp.Failed)
            return false;
        const bool sent = smtp.SendMessage(message);
        smtp.Quit();
        return sent && server->Deliveries().size() == 1;
    }

    std::unique_ptr<harness::SmtpServer> server;
    mail::PosixTransportFactory factory;
    platform::NullEventPump pump;
    mail::TQelSMTP smtp{factory, pump};
    std::string password = harness::SmtpServer::Pass();
    mail::TQelMsg message;
    Session session;
};

struct SmtpTlsRow {
    const char* name;
    harness::SmtpServer::Tls serverTls;
    bool plainMechanism;
    TlsMode security;
    std::vector<std::string> sent;
    std::vector<std::string> notSent;
};

// The row's name stands for it in the test list.
void PrintTo(const SmtpTlsRow& row, std::ostream* out) {
    *out << row.name;
}

class SmtpTlsSendTest : public SmtpTlsTest, public ::testing::WithParamInterface<SmtpTlsRow> {};

TEST_P(SmtpTlsSendTest, SendsWithTheMechanismOffered) {
    const SmtpTlsRow& row = GetParam();
    Start({row.serverTls, true, row.plainMechanism}, row.security);
    EXPECT_TRUE(Send()) << session.errorText;
    for (const std::string& line : row.sent)
        EXPECT_TRUE(session.Sent(line)) << line;
    for (const std::string& line : row.notSent)
        EXPECT_FALSE(session.Sent(line)) << line;
}

INSTANTIATE_TEST_SUITE_P(Modes, SmtpTlsSendTest,
                         ::testing::Values(SmtpTlsRow{"StarttlsWithAuthPlain",
                                                      harness::SmtpServer::Tls::StartTls,
                                                      true,
                                                      TlsMode::StartTls,
                                                      {"STARTTLS\r\n", "AUTH PLAIN ****"},
                                                      {}},
                                           SmtpTlsRow{"SmtpsWithAuthLoginWherePlainIsNotOffered",
                                                      harness::SmtpServer::Tls::Implicit,
                                                      false,
                                                      TlsMode::Tls,
                                                      {"AUTH LOGIN\r\n"},
                                                      {"STARTTLS"}}),
                         [](const ::testing::TestParamInfo<SmtpTlsRow>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SmtpTlsTest, WrongPasswordFailsWithTheServersText) {
    Start({harness::SmtpServer::Tls::StartTls, true, true}, TlsMode::StartTls);
    password = "wrong";
    EXPECT_FALSE(Send());
    EXPECT_EQ(session.error, 535);
    EXPECT_NE(session.errorText.find("Authentication credentials invalid"), std::string::npos)
        << session.errorText;
    EXPECT_TRUE(server->Deliveries().empty());
}

TEST_F(SmtpTlsTest, TokenCommandLogsInWithXOAuth2) {
    Start({harness::SmtpServer::Tls::StartTls, true, true}, TlsMode::StartTls);
    password.clear();
    smtp.OAuthCommand = "echo " + harness::SmtpServer::Token() + "; echo second line";
    EXPECT_TRUE(Send()) << session.errorText;
    EXPECT_TRUE(session.Sent("AUTH XOAUTH2 ****"));
    for (const auto& s : session.sent)
        EXPECT_EQ(s.find(harness::SmtpServer::Token()), std::string::npos) << s;
}

}  // namespace
