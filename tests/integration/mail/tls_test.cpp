// The mail clients over TLS against the harness's Dovecot (POP3S, STLS) and SMTP server
// (STARTTLS, SMTPS, AUTH), with the harness's self-signed certificate.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "DovecotServer.h"
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

class PopTlsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        secure = new harness::DovecotServer(true);
        secure->AddMessage("Subject: one\r\n\r\nbody\r\n");
    }
    static void TearDownTestSuite() {
        delete secure;
        secure = nullptr;
    }

    PopTlsTest() : pop(factory, pump) {
        pop.Host = "127.0.0.1";
        pop.TimeOut = 10000;
        session.Watch(pop);
    }

    // Connect, login and STAT; true when the count came.
    bool Check() {
        pop.Connect();
        if (pop.Failed || !pop.Login(secure->User(), password))
            return false;
        pop.GetMailCount();
        const bool counted = pop.Connected && pop.MessageCount == 1;
        pop.Quit();
        return counted;
    }

    static harness::DovecotServer* secure;
    mail::PosixTransportFactory factory;
    platform::NullEventPump pump;
    mail::TQelPOP pop;
    // Handed to each login; a test clears it to log in by token alone.
    std::string password = secure->Pass();
    Session session;
};

harness::DovecotServer* PopTlsTest::secure = nullptr;

TEST_F(PopTlsTest, PinnedCertificateChecksOverPop3sAndStls) {
    pop.Port = std::to_string(secure->PopsPort());
    pop.Security = TlsMode::Tls;
    pop.TlsFingerprint = secure->Fingerprint();
    EXPECT_TRUE(Check()) << session.errorText;
    EXPECT_FALSE(session.Sent("STLS"));

    session = Session();
    session.Watch(pop);
    pop.Port = std::to_string(secure->Port());
    pop.Security = TlsMode::StartTls;
    // Colons and letter case do not matter in a pin.
    std::string pin;
    for (char c : secure->Fingerprint())
        if (c != ':')
            pin += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    pop.TlsFingerprint = pin;
    EXPECT_TRUE(Check()) << session.errorText;
    EXPECT_TRUE(session.Sent("STLS\r\n"));
    EXPECT_TRUE(session.Sent("PASS ****"));
}

TEST_F(PopTlsTest, UnpinnedOrWronglyPinnedCertificateIsRefusedBeforeUser) {
    pop.Port = std::to_string(secure->PopsPort());
    pop.Security = TlsMode::Tls;
    EXPECT_FALSE(Check());
    EXPECT_NE(session.errorText.find("is not trusted"), std::string::npos) << session.errorText;
    EXPECT_NE(session.errorText.find(secure->Fingerprint()), std::string::npos)
        << session.errorText;
    EXPECT_FALSE(session.Sent("USER"));

    session = Session();
    session.Watch(pop);
    pop.Port = std::to_string(secure->Port());
    pop.Security = TlsMode::StartTls;
    pop.TlsFingerprint = std::string(64, 'A');
    EXPECT_FALSE(Check());
    EXPECT_NE(session.errorText.find("does not match the pinned fingerprint"), std::string::npos)
        << session.errorText;
    EXPECT_FALSE(session.Sent("USER"));
}

TEST_F(PopTlsTest, TokenCommandLogsInWithXOAuth2AndAWrongTokenGetsTheServersText) {
    pop.Port = std::to_string(secure->PopsPort());
    pop.Security = TlsMode::Tls;
    pop.TlsFingerprint = secure->Fingerprint();
    password.clear();
    pop.OAuthCommand = "echo " + harness::DovecotServer::Token() + "; echo second line";
    EXPECT_TRUE(Check()) << session.errorText;
    EXPECT_TRUE(session.Sent("AUTH XOAUTH2 ****\r\n"));
    EXPECT_FALSE(session.Sent("USER"));

    session = Session();
    session.Watch(pop);
    pop.Port = std::to_string(secure->Port());
    pop.Security = TlsMode::StartTls;
    // The password is no token: XOAUTH2 is checked against the tokens only.
    pop.OAuthCommand = "echo " + secure->Pass();
    EXPECT_FALSE(Check());
    EXPECT_TRUE(session.Sent("STLS\r\n"));
    EXPECT_NE(session.errorText.find("Authentication failed"), std::string::npos)
        << session.errorText;
    for (const std::string& line : session.sent) {
        EXPECT_EQ(line.find(harness::DovecotServer::Token()), std::string::npos) << line;
        EXPECT_EQ(line.find(secure->Pass()), std::string::npos) << line;
    }
}

TEST(PopTlsPlainServerTest, StarttlsWithoutStlsOfferedSendsNoUser) {
    harness::DovecotServer plain;
    mail::PosixTransportFactory factory;
    platform::NullEventPump pump;
    mail::TQelPOP pop(factory, pump);
    Session session;
    session.Watch(pop);
    pop.Host = "127.0.0.1";
    pop.Port = std::to_string(plain.Port());
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
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);

    mail::PosixTransportFactory factory;
    platform::NullEventPump pump;
    mail::TQelPOP pop(factory, pump);
    Session session;
    session.Watch(pop);
    pop.Host = "127.0.0.1";
    pop.Port = std::to_string(ntohs(address.sin_port));
    pop.Security = TlsMode::Tls;
    pop.TimeOut = 600;
    const auto start = std::chrono::steady_clock::now();
    pop.Connect();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ::close(listener);
    EXPECT_TRUE(pop.Failed);
    EXPECT_NE(session.errorText.find("TLS handshake in time"), std::string::npos)
        << session.errorText;
    EXPECT_GE(elapsed, std::chrono::milliseconds(550));
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

class SmtpTlsTest : public ::testing::Test {
protected:
    void Start(const harness::SmtpServer::Options& options) {
        server = std::make_unique<harness::SmtpServer>(options);
        smtp.Host = "127.0.0.1";
        smtp.Port = std::to_string(server->Port());
        smtp.TimeOut = 10000;
        smtp.TlsFingerprint = server->Fingerprint();
        smtp.UserId = harness::SmtpServer::User();
        smtp.UserPasswd = harness::SmtpServer::Pass();
        session.Watch(smtp);
        message.From = "me@here.org";
        message.SendTo = "you@there.org";
        message.Text = {"hello"};
    }
    bool Send() {
        smtp.Connect();
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
    mail::TQelMsg message;
    Session session;
};

TEST_F(SmtpTlsTest, StarttlsWithAuthPlain) {
    Start({harness::SmtpServer::Tls::StartTls, true, true});
    smtp.Security = TlsMode::StartTls;
    EXPECT_TRUE(Send()) << session.errorText;
    EXPECT_TRUE(session.Sent("STARTTLS\r\n"));
    EXPECT_TRUE(session.Sent("AUTH PLAIN ****"));
}

TEST_F(SmtpTlsTest, SmtpsWithAuthLoginWherePlainIsNotOffered) {
    Start({harness::SmtpServer::Tls::Implicit, true, false});
    smtp.Security = TlsMode::Tls;
    EXPECT_TRUE(Send()) << session.errorText;
    EXPECT_TRUE(session.Sent("AUTH LOGIN\r\n"));
    EXPECT_FALSE(session.Sent("STARTTLS"));
}

TEST_F(SmtpTlsTest, WrongPasswordFailsWithTheServersText) {
    Start({harness::SmtpServer::Tls::StartTls, true, true});
    smtp.Security = TlsMode::StartTls;
    smtp.UserPasswd = "wrong";
    EXPECT_FALSE(Send());
    EXPECT_EQ(session.error, 535);
    EXPECT_NE(session.errorText.find("Authentication credentials invalid"), std::string::npos)
        << session.errorText;
    EXPECT_TRUE(server->Deliveries().empty());
}

TEST_F(SmtpTlsTest, TokenCommandLogsInWithXOAuth2) {
    Start({harness::SmtpServer::Tls::StartTls, true, true});
    smtp.Security = TlsMode::StartTls;
    smtp.UserPasswd.clear();
    smtp.OAuthCommand = "echo " + harness::SmtpServer::Token() + "; echo second line";
    EXPECT_TRUE(Send()) << session.errorText;
    EXPECT_TRUE(session.Sent("AUTH XOAUTH2 ****"));
    for (const auto& s : session.sent)
        EXPECT_EQ(s.find(harness::SmtpServer::Token()), std::string::npos) << s;
}

}  // namespace
