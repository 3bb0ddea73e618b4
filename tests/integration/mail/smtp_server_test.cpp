#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "LoopbackListener.h"
#include "SmtpServer.h"
#include "TestMessages.h"
#include "mail/PosixTransport.h"
#include "mail/QelMsg.h"
#include "mail/QelSMTP.h"

namespace {

using mail::StringList;
using mail::TextLines;

class SmtpServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new harness::SmtpServer(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    SmtpServerTest() : smtp(factory, pump) {
        smtp.Host = "127.0.0.1";
        smtp.Port = std::to_string(server->Port());
        smtp.TimeOut = 10000;
        smtp.OnError = [this](mail::TObject*, int e, const std::string& m) {
            error = e;
            errorText = m;
        };
    }

    // Sends and returns the deliveries this send added.
    std::vector<harness::SmtpServer::Delivery> Send(mail::TQelMsg& message) {
        const std::size_t before = server->Deliveries().size();
        smtp.Connect();
        EXPECT_FALSE(smtp.Failed) << smtp.ReplyText;
        EXPECT_TRUE(smtp.SendMessage(message)) << errorText;
        smtp.Quit();
        auto all = server->Deliveries();
        return std::vector<harness::SmtpServer::Delivery>(all.begin() + static_cast<long>(before),
                                                          all.end());
    }

    static harness::SmtpServer* server;
    mail::PosixTransportFactory factory;
    platform::NullEventPump pump;
    mail::TQelSMTP smtp;
    int error = 0;
    std::string errorText;
};

harness::SmtpServer* SmtpServerTest::server = nullptr;

StringList HeaderNames(const std::string& data) {
    StringList names;
    for (const std::string& line : mail::SplitLines(data)) {
        if (line.empty())
            break;
        names.push_back(line.substr(0, line.find(':')));
    }
    return names;
}

std::string Body(const std::string& data) {
    return data.substr(data.find("\r\n\r\n") + 4);
}

TEST_F(SmtpServerTest, HeaderOrderDotsAndSeparateTransactions) {
    mail::TQelMsg message;
    message.From = "ann@example.org";
    message.UserName = "Ann";
    message.SendTo = "bob@example.org, Carl <carl@example.org>";
    message.CC = "dora@example.org";
    message.BCC = "secret@example.org";
    message.ReplyTo = "replies@example.org";
    message.Subject = "Hello";
    message.Text = {"first", ".", "..two", "last"};
    auto got = Send(message);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].mailFrom, "ann@example.org");
    EXPECT_EQ(got[0].rcptTo, (std::vector<std::string>{"bob@example.org", "carl@example.org"}));
    EXPECT_EQ(got[1].rcptTo, (std::vector<std::string>{"dora@example.org"}));
    EXPECT_EQ(got[2].rcptTo, (std::vector<std::string>{"secret@example.org"}));
    for (const auto& d : got) {
        EXPECT_EQ(d.data, got[0].data);
        EXPECT_EQ(d.data.find("secret"), std::string::npos) << "Bcc named in the message";
    }
    EXPECT_EQ(
        HeaderNames(got[0].data),
        (StringList{"Message-Id", "Date", "X-Priority", "From", "Reply-To", "X-Mailer", "To", "CC",
                    "MIME-Version", "Subject", "Content-Type", "Content-Transfer-Encoding"}));
    EXPECT_NE(got[0].data.find("\r\nFrom: \"Ann\" <ann@example.org>\r\n"), std::string::npos);
    // Dot transparency undone by the server: the lines arrive as written, then the empty
    // line that the terminator adds.
    EXPECT_EQ(Body(got[0].data), "first\r\n.\r\n..two\r\nlast\r\n\r\n");
    EXPECT_EQ(error, 0);
}

TEST_F(SmtpServerTest, Base64TextAndAttachments) {
    const std::string path = ::testing::TempDir() + "vorla-it-all.bin";
    {
        std::ofstream out(path, std::ios::binary);
        out << mailit::AttachmentBytes();
    }
    const std::string textPath = ::testing::TempDir() + "vorla-it-note.pdf";
    {
        std::ofstream out(textPath, std::ios::binary);
        out << "note\r\n";
    }
    mail::TQelMsg message;
    message.From = "ann@example.org";
    message.SendTo = "bob@example.org";
    message.Subject = "Grüße";
    message.Text = {"Zeile eins", ".dot"};
    message.TextEncoding = mail::TTextEncoding::teBase64;
    message.AttachedFiles.AddFile(path);
    message.AttachedFiles.AddFile(textPath);
    auto got = Send(message);
    std::remove(path.c_str());
    std::remove(textPath.c_str());
    ASSERT_EQ(got.size(), 1u);

    // Read back with our own parser: what a receiver of the message sees.
    mail::TQelMsg parsed;
    parsed.RawMail = mail::SplitLines(got[0].data);
    parsed.ParseMessage();
    EXPECT_EQ(parsed.Subject, "Grüße");
    EXPECT_EQ(parsed.Text, (TextLines{"Zeile eins", ".dot"}));
    ASSERT_EQ(parsed.AttachedFiles.Count(), 2u);
    EXPECT_EQ(parsed.AttachedFiles.Items(0).FileName, "vorla-it-all.bin");
    EXPECT_TRUE(parsed.AttachedFiles.Items(0).Data.Bytes() == mailit::AttachmentBytes())
        << "attachment damaged";
    EXPECT_EQ(parsed.AttachedFiles.Items(1).FileName, "vorla-it-note.pdf");
    EXPECT_EQ(parsed.AttachedFiles.Items(1).Data.Bytes(), "note\r\n");
    // The subject is UTF-8 and the message names no charset: it is labelled UTF-8.
    EXPECT_NE(got[0].data.find("Subject: =?UTF-8?B?"), std::string::npos);
}

TEST_F(SmtpServerTest, RefusedRecipientIsReported) {
    mail::TQelMsg message;
    message.From = "ann@example.org";
    message.SendTo = "nobody@example.org";  // the test server refuses this one
    const std::size_t before = server->Deliveries().size();
    smtp.Connect();
    ASSERT_FALSE(smtp.Failed);
    EXPECT_FALSE(smtp.SendMessage(message));
    EXPECT_EQ(error, 550);
    EXPECT_EQ(errorText, "5.1.1 No such user here");
    EXPECT_FALSE(smtp.Connected);
    EXPECT_EQ(server->Deliveries().size(), before);
}

}  // namespace

namespace {

// A server that gives up in the middle of the DATA: it says "421" and closes with the client's
// lines unread, so the kernel resets the connection under the client's next send.
TEST(SmtpServerGivingUp, ReplyBeforeTheResetIsTheReportedFailure) {
    harness::LoopbackListener listener(1);
    std::thread server([&listener] {
        const int fd = ::accept(listener.Fd(), nullptr, nullptr);
        if (fd < 0)
            return;
        auto say = [fd](const std::string& text) { ::send(fd, text.data(), text.size(), 0); };
        say("220 ready\r\n");
        std::string received;
        char buffer[1024];
        for (std::size_t lines = 0; lines < 4;) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            received.append(buffer, static_cast<std::size_t>(n));
            for (std::size_t eol; (eol = received.find("\r\n")) != std::string::npos; ++lines) {
                say(received.rfind("DATA", 0) == 0 ? "354 go\r\n" : "250 ok\r\n");
                received.erase(0, eol + 2);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        say("421 4.4.2 Timeout, closing\r\n");
        ::close(fd);
    });
    mail::PosixTransportFactory factory;
    platform::NullEventPump pump;
    mail::TQelSMTP smtp(factory, pump);
    smtp.Host = "127.0.0.1";
    smtp.Port = std::to_string(listener.Port());
    smtp.TimeOut = 10000;
    std::vector<std::pair<int, std::string>> errors;
    smtp.OnError = [&](mail::TObject*, int e, const std::string& m) { errors.emplace_back(e, m); };
    mail::TQelMsg message;
    message.From = "me@here.org";
    message.SendTo = "you@there.org";
    for (int i = 0; i < 200000; ++i)
        message.Text.push_back("a line of the message that the server no longer reads");
    smtp.Connect();
    EXPECT_FALSE(smtp.SendMessage(message));
    server.join();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, 421) << errors[0].second;
    EXPECT_EQ(errors[0].second, "4.4.2 Timeout, closing");
}

}  // namespace
