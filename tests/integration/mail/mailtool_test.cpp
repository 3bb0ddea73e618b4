#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "DovecotServer.h"
#include "Files.h"
#include "PopFaultServer.h"
#include "ScopedEnv.h"
#include "SmtpServer.h"
#include "TestMessages.h"

namespace {

struct Result {
    int code;
    std::string out, err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

Result Tool(const std::vector<std::string>& args) {
    // One file per run: ctest runs the tool tests in parallel processes.
    const std::string errPath =
        ::testing::TempDir() + "vorla-mailtool-" + std::to_string(::getpid()) + ".err";
    std::string cmd = Quote(VORLA_MAILTOOL);
    for (const auto& a : args)
        cmd.append(" ").append(Quote(a));
    cmd += " 2>" + Quote(errPath);
    Result r{-1, "", ""};
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p)
        return r;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        r.out.append(buf.data(), n);
    const int status = ::pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = testsupport::ReadFile(errPath);
    std::remove(errPath.c_str());
    return r;
}

TEST(MailTool, Pop3Actions) {
    harness::DovecotServer server;
    server.AddMessage(mailit::PlainMessage("one", "body one\r\n"));
    server.AddMessage(mailit::MultipartMessage());
    const std::vector<std::string> base{"pop3", "127.0.0.1", std::to_string(server.Port()),
                                        server.User(), server.Pass()};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> a = base;
        a.insert(a.end(), more.begin(), more.end());
        return a;
    };

    Result stat = Tool(with({"stat"}));
    EXPECT_EQ(stat.code, 0) << stat.err;
    EXPECT_EQ(stat.out, "count=2 new=0 last_supported=0\n");

    Result retr = Tool(with({"retr", "2"}));
    EXPECT_EQ(retr.code, 0) << retr.err;
    EXPECT_NE(retr.out.find("\"size\""), std::string::npos) << retr.out;
    EXPECT_NE(retr.out.find("all.bin"), std::string::npos) << retr.out;

    Result top = Tool(with({"top", "1", "0"}));
    EXPECT_EQ(top.code, 0) << top.err;
    EXPECT_NE(top.out.find("one"), std::string::npos);

    Result uidl = Tool(with({"uidl", "1"}));
    EXPECT_EQ(uidl.code, 0);
    EXPECT_GT(uidl.out.size(), 1u);

    Result trace = Tool(with({"--trace", "stat"}));
    EXPECT_NE(trace.err.find("> PASS ****"), std::string::npos) << trace.err;
    EXPECT_EQ(trace.err.find(server.Pass()), std::string::npos) << "password in the trace";
    EXPECT_NE(trace.err.find("< +OK Dovecot (Debian) ready."), std::string::npos) << trace.err;

    Result dele = Tool(with({"dele", "1"}));
    EXPECT_EQ(dele.code, 0) << dele.err;
    EXPECT_EQ(Tool(with({"stat"})).out, "count=1 new=0 last_supported=0\n");

    std::vector<std::string> wrong = base;
    wrong[4] = "nope";
    wrong.push_back("stat");
    Result bad = Tool(wrong);
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.err, "error 2001: [AUTH] Authentication failed.\n");
}

TEST(MailTool, ImapActionsOverImapsWithThePin) {
    harness::DovecotServer server(true);
    server.AddMessage(mailit::PlainMessage("old", "seen\r\n"), true);
    server.AddMessage(mailit::MultipartMessage());
    testsupport::ScopedEnv password("VORLA_PASSWORD", server.Pass());
    auto imap = [&](std::vector<std::string> more) {
        const std::string port = std::to_string(server.ImapsPort());
        std::vector<std::string> a{
            "--tls-mode", "tls", "--fingerprint", server.Fingerprint(), "imap",
            "127.0.0.1",  port,  server.User()};
        a.insert(a.end(), more.begin(), more.end());
        return Tool(a);
    };

    const Result status = imap({"status"});
    EXPECT_EQ(status.code, 0) << status.err;
    EXPECT_EQ(status.out.rfind("exists=2 unseen=1 uidvalidity=", 0), 0u) << status.out;
    const Result fetch = imap({"fetch", "2"});
    EXPECT_EQ(fetch.code, 0) << fetch.err;
    EXPECT_NE(fetch.out.find("all.bin"), std::string::npos) << fetch.out;
    const Result headers = imap({"--trace", "headers", "1"});
    EXPECT_NE(headers.out.find("\"old\""), std::string::npos) << headers.out;
    EXPECT_EQ(headers.err.find(server.Pass()), std::string::npos) << "password in the trace";
    EXPECT_EQ(imap({"delete", "1"}).code, 0);
    EXPECT_EQ(imap({"status"}).out.rfind("exists=1 unseen=1 ", 0), 0u);

    std::thread delivery([&server] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        server.AddMessage(mailit::PlainMessage("pushed", "new\r\n"));
    });
    const Result idle = imap({"idle", "4"});
    delivery.join();
    EXPECT_EQ(idle.code, 0) << idle.err;
    EXPECT_EQ(idle.out, "exists=2\n");
    EXPECT_EQ(imap({"fetch", "9"}).code, 1);
}

TEST(MailTool, PasswordFromTheEnvironmentOrADescriptor) {
    harness::DovecotServer server;
    server.AddMessage(mailit::PlainMessage("one", "body one\r\n"));
    const std::string port = std::to_string(server.Port());
    const std::string expected = "count=1 new=0 last_supported=0\n";
    {
        testsupport::ScopedEnv password("VORLA_PASSWORD", server.Pass());
        const Result fromEnvironment = Tool({"pop3", "127.0.0.1", port, server.User(), "stat"});
        EXPECT_EQ(fromEnvironment.code, 0) << fromEnvironment.err;
        EXPECT_EQ(fromEnvironment.out, expected);
        const Result argumentFirst =
            Tool({"pop3", "127.0.0.1", port, server.User(), "wrong", "stat"});
        EXPECT_EQ(argumentFirst.code, 1) << "the PASS argument goes before the environment";
    }

    // The tool inherits the descriptor of a file holding the password and a CR LF line end.
    const std::string file =
        ::testing::TempDir() + "vorla-mailtool-pass-" + std::to_string(::getpid());
    {
        std::ofstream out(file, std::ios::binary);
        out << server.Pass() << "\r\nnext line\n";
    }
    const int fd = ::open(file.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    const Result fromDescriptor = Tool({"--pass-fd", std::to_string(fd), "pop3", "127.0.0.1", port,
                                        server.User(), "top", "1", "0"});
    ::close(fd);
    std::remove(file.c_str());
    EXPECT_EQ(fromDescriptor.code, 0) << fromDescriptor.err;
    EXPECT_NE(fromDescriptor.out.find("one"), std::string::npos) << fromDescriptor.out;

    const Result usage = Tool({});
    EXPECT_NE(usage.err.find("--pass-fd N"), std::string::npos) << usage.err;
    EXPECT_NE(usage.err.find("VORLA_PASSWORD"), std::string::npos) << usage.err;
}

TEST(MailTool, ServerTextsReachTheTerminalEscaped) {
    harness::PopFaultServer server({harness::PopFaultServer::Behaviour::HostilePass});
    const Result refused =
        Tool({"--trace", "pop3", "127.0.0.1", std::to_string(server.Port()), "u", "p", "stat"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err.find_first_of("\x1b\x07"), std::string::npos) << refused.err;
    const std::string shown = "x\\x1B]0;pwned\\x07\\x1B[2J\n";
    EXPECT_NE(refused.err.find("< -ERR " + shown), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("error 2001: " + shown), std::string::npos) << refused.err;
}

TEST(MailTool, SmtpSendAndRefusedConnection) {
    harness::SmtpServer server;
    const std::string body = ::testing::TempDir() + "vorla-mailtool-body.txt";
    {
        std::ofstream out(body, std::ios::binary);
        out << "hello\n.dot\n";
    }
    Result sent = Tool({"smtp", "127.0.0.1", std::to_string(server.Port()), "--from",
                        "ann@example.org", "--to", "bob@example.org", "--bcc", "eve@example.org",
                        "--subject", "tool", "--body", body});
    std::remove(body.c_str());
    EXPECT_EQ(sent.code, 0) << sent.err;
    auto got = server.Deliveries();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].rcptTo, (std::vector<std::string>{"eve@example.org"}));
    EXPECT_NE(got[0].data.find("\r\n\r\nhello\r\n.dot\r\n"), std::string::npos) << got[0].data;

    const std::uint16_t closedPort = harness::ServerProcess::FreePort();
    Result refused =
        Tool({"smtp", "127.0.0.1", std::to_string(closedPort), "--from", "a@b", "--to", "c@d"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("Connection refused"), std::string::npos) << refused.err;
}

// UTF-8 from the command line and a UTF-8 body file: encoded words in the header, the body
// labelled UTF-8 and, since the server offers 8BITMIME, sent as it is.
TEST(MailTool, SmtpLabelsUtf8Text) {
    harness::SmtpServer server;
    const std::string body = ::testing::TempDir() + "vorla-mailtool-utf8.txt";
    {
        std::ofstream out(body, std::ios::binary);
        out << "Gr\xC3\xBC\xC3\x9F"
               "e\n";
    }
    Result sent =
        Tool({"smtp", "127.0.0.1", std::to_string(server.Port()), "--from", "ann@example.org",
              "--name", "J\xC3\xBCrgen", "--to", "bob@example.org", "--subject",
              "Gr\xC3\xBC\xC3\x9F"
              "e",
              "--body", body});
    std::remove(body.c_str());
    EXPECT_EQ(sent.code, 0) << sent.err;
    auto got = server.Deliveries();
    ASSERT_EQ(got.size(), 1u);
    const std::string& data = got[0].data;
    EXPECT_NE(data.find("\r\nFrom: =?UTF-8?B?SsO8cmdlbg==?= <ann@example.org>\r\n"),
              std::string::npos)
        << data;
    EXPECT_NE(data.find("\r\nSubject: =?UTF-8?B?R3LDvMOfZQ==?=\r\n"), std::string::npos) << data;
    EXPECT_NE(data.find("\r\nContent-Type: Text/Plain; charset=UTF-8\r\n"), std::string::npos)
        << data;
    EXPECT_NE(data.find("\r\n\r\nGr\xC3\xBC\xC3\x9F"
                        "e\r\n"),
              std::string::npos)
        << data;
}

}  // namespace

namespace {

TEST(MailToolTlsTest, SecurityOptionsReachBothClients) {
    harness::DovecotServer pop(true);
    pop.AddMessage("Subject: one\r\n\r\nbody\r\n");
    const Result stat =
        Tool({"--tls-mode", "tls", "--fingerprint", pop.Fingerprint(), "pop3", "127.0.0.1",
              std::to_string(pop.PopsPort()), pop.User(), pop.Pass(), "stat"});
    EXPECT_EQ(stat.code, 0) << stat.err;
    EXPECT_EQ(stat.out, "count=1 new=0 last_supported=0\n");
    const Result refused = Tool({"--tls-mode", "tls", "pop3", "127.0.0.1",
                                 std::to_string(pop.PopsPort()), pop.User(), pop.Pass(), "stat"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find(pop.Fingerprint()), std::string::npos) << refused.err;

    harness::SmtpServer smtp({harness::SmtpServer::Tls::StartTls, true, true});
    const Result sent =
        Tool({"--tls-mode", "starttls", "--fingerprint", smtp.Fingerprint(), "smtp", "127.0.0.1",
              std::to_string(smtp.Port()), "--from", "me@here.org", "--to", "you@there.org",
              "--user", harness::SmtpServer::User(), "--pass", harness::SmtpServer::Pass()});
    EXPECT_EQ(sent.code, 0) << sent.err;
    EXPECT_EQ(smtp.Deliveries().size(), 1u);

    testsupport::ScopedEnv password("VORLA_PASSWORD", harness::SmtpServer::Pass());
    const Result fromEnvironment =
        Tool({"--tls-mode", "starttls", "--fingerprint", smtp.Fingerprint(), "smtp", "127.0.0.1",
              std::to_string(smtp.Port()), "--from", "me@here.org", "--to", "you@there.org",
              "--user", harness::SmtpServer::User()});
    EXPECT_EQ(fromEnvironment.code, 0) << fromEnvironment.err;
    EXPECT_EQ(smtp.Deliveries().size(), 2u);
}

}  // namespace
