#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "FakeEventPump.h"
#include "ScriptedTransport.h"
#include "mail/PosixTransport.h"
#include "mail/QelMIME.h"
#include "mail/QelPOP3.h"

namespace {

using mail::TQelPOP;
using testsupport::Script;

struct ErrorReport {
    int error;
    std::string msg;
};

class Pop3Test : public ::testing::Test {
protected:
    Pop3Test() : factory(script), pop(factory, pump, clock) {
        script.clock = &clock;
        pop.Host = "127.0.0.1";
        pop.OnError = [this](mail::TObject*, int error, const std::string& msg) {
            errors.push_back({error, msg});
        };
        pop.OnRetrieveProgress = [this](mail::TObject*, std::uint16_t p) { progress.push_back(p); };
    }

    // Greeting, USER and PASS accepted.
    void LoggedIn() {
        script.Server("+OK ready\r\n")
            .Client("USER bob\r\n")
            .Server("+OK\r\n")
            .Client("PASS secret\r\n")
            .Server("+OK logged in\r\n");
        pop.Connect();
        ASSERT_TRUE(pop.Login("bob", "secret"));
    }

    Script script;
    testsupport::FakeClock clock;
    testsupport::FakeEventPump pump;
    testsupport::ScriptedFactory factory;
    TQelPOP pop;
    std::vector<ErrorReport> errors;
    std::vector<std::uint16_t> progress;
};

TEST(PopReply, StatusAndText) {
    struct Row {
        const char* name;
        std::string chunk;
        std::string status, text;
        bool failed;
    } rows[] = {
        {"ok with text", "+OK 2 320\r\n", "+OK", "2 320", false},
        {"no line end gives empty text", "+OK 2 320", "+OK", "", false},
        {"bare refusal", "-ERR\r\n", "-ERR", "", true},
        {"refusal text", "-ERR [AUTH] Authentication failed.\r\n", "-ERR",
         "[AUTH] Authentication failed.", true},
        {"lower case is no refusal", "-err no\r\n", "-err", "no", false},
        {"empty chunk counts as success", "", "", "", false},
        {"only first line", "+OK\r\nFrom: a\r\n", "+OK", "", false},
    };
    for (const Row& r : rows) {
        mail::TPopReply reply = mail::ParsePopReply(r.chunk);
        EXPECT_EQ(reply.Status, r.status) << r.name;
        EXPECT_EQ(reply.Text, r.text) << r.name;
        EXPECT_EQ(reply.Failed, r.failed) << r.name;
        EXPECT_EQ(reply.Valid, r.status == "+OK" || r.status == "-ERR") << r.name;
    }
}

TEST_F(Pop3Test, CheckCycleTranscript) {
    LoggedIn();
    script.Client("STAT\r\n")
        .Server("+OK 7 12345\r\n")
        .Client("LAST\r\n")
        .Server("+OK 5\r\n")
        .Client("QUIT\r\n")
        .Server("+OK bye\r\n");
    pop.GetMailCount();
    EXPECT_EQ(pop.MessageCount, 7u);
    EXPECT_EQ(pop.NewMessageCount, 2);
    EXPECT_TRUE(pop.LastSupported);
    pop.Quit();
    EXPECT_FALSE(pop.Connected);
    EXPECT_TRUE(errors.empty());
    script.ExpectDone();
}

TEST_F(Pop3Test, RefusedLastIsNoError) {
    LoggedIn();
    script.Client("STAT\r\n")
        .Server("+OK 7 12345\r\n")
        .Client("LAST\r\n")
        .Server("-ERR Unknown command: LAST\r\n");
    pop.GetMailCount();
    EXPECT_EQ(pop.MessageCount, 7u);
    EXPECT_FALSE(pop.LastSupported);
    EXPECT_EQ(pop.NewMessageCount, 0);
    EXPECT_TRUE(pop.Failed);
    EXPECT_TRUE(pop.Connected);
    EXPECT_TRUE(errors.empty());
    script.ExpectDone();
}

TEST_F(Pop3Test, RefusalsRunTheFailurePathWithTheirNumber) {
    struct Row {
        const char* name;
        std::function<void(TQelPOP&)> call;
        std::string command;
        int error;
    } rows[] = {
        {"STAT", [](TQelPOP& p) { p.GetMailCount(); }, "STAT\r\n", 2006},
        {"UIDL", [](TQelPOP& p) { EXPECT_EQ(p.GetUIDL(3), ""); }, "UIDL 3\r\n", 2006},
        {"DELE", [](TQelPOP& p) { p.DeleteMessage(3); }, "DELE 3\r\n", 2003},
        {"QUIT", [](TQelPOP& p) { p.Quit(); }, "QUIT\r\n", 2002},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        errors.clear();
        script = Script();
        script.clock = &clock;
        LoggedIn();
        script.Client(r.command).Server("-ERR no such thing\r\n");
        r.call(pop);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].error, r.error);
        EXPECT_EQ(errors[0].msg, "no such thing");
        EXPECT_FALSE(pop.Connected);
        EXPECT_TRUE(pop.Failed);
        EXPECT_TRUE(pop.DeletedList.empty());
        script.ExpectDone();
    }
}

// A status line that arrives in pieces is one reply: the dialogue stays in step.
TEST_F(Pop3Test, StatusLineIsAssembledAcrossReceives) {
    LoggedIn();
    script.Client("STAT\r\n")
        .Server("+OK 7")
        .Server(" 1200\r")
        .Server("\n")
        .Client("LAST\r\n")
        .Server("+OK 5\r\n");
    pop.GetMailCount();
    EXPECT_EQ(pop.MessageCount, 7u);
    EXPECT_EQ(pop.NewMessageCount, 2);
    EXPECT_TRUE(errors.empty());
    script.ExpectDone();
}

// Whatever is not a POP3 status line fails the operation through the failure path, with a text
// that says so, instead of passing for an empty success.
TEST_F(Pop3Test, ReplyThatIsNoStatusLineIsAProtocolFailure) {
    const std::string protocol =
        "Protocol error: the server's reply begins with neither +OK nor -ERR.";
    const std::string tooLong = "The server's status line is longer than 8 KB.";
    const struct {
        const char* name;
        bool greeting;  // the bad reply is the greeting, else the answer to STAT
        std::string reply;
        int error;
        std::string msg;
    } rows[] = {
        {"garbage greeting", true, "HELLO there\r\n", 2001, protocol},
        {"endless greeting", true, std::string(1 << 20, 'x'), 2001, tooLong},
        {"garbage answer", false, "250 OK\r\n", 2006, protocol},
        {"lower-case status", false, "+ok 3 120\r\n", 2006, protocol},
        {"status line over 8 KB", false, "+OK " + std::string(9000, '1') + "\r\n", 2006, tooLong},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        errors.clear();
        script = Script();
        script.clock = &clock;
        if (r.greeting) {
            script.Server(r.reply);
            pop.Connect();
        } else {
            LoggedIn();
            script.Client("STAT\r\n").Server(r.reply);
            pop.GetMailCount();
        }
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].error, r.error);
        EXPECT_EQ(errors[0].msg, r.msg);
        EXPECT_TRUE(pop.Failed);
        EXPECT_FALSE(pop.Connected);
        EXPECT_EQ(pop.MessageCount, 0u);
    }
}

// A server that drips its status line is given up on once TimeOut has passed, though every
// single receive is quick.
TEST_F(Pop3Test, StatusLineMustArriveWholeWithinTimeOut) {
    pop.TimeOut = 1000;
    LoggedIn();
    script.Client("STAT\r\n");
    for (const char c : std::string("+OK 7 1200\r\n"))
        script.Server(std::string(1, c)).Pause(200);
    EXPECT_THROW(pop.GetMailCount(), mail::SocketError);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, ETIMEDOUT);
    EXPECT_EQ(errors[0].msg,
              "Erreur socket Windows : Connection timed out (110), avec l'API 'recv'");
    EXPECT_FALSE(pop.Connected);
    EXPECT_EQ(pop.MessageCount, 0u);
}

TEST_F(Pop3Test, WrongPasswordReports2001WithTheServerText) {
    script.Server("+OK ready\r\n")
        .Client("USER bob\r\n")
        .Server("+OK\r\n")
        .Client("PASS secret\r\n")
        .Server("-ERR [AUTH] Authentication failed.\r\n");
    pop.Connect();
    EXPECT_FALSE(pop.Login("bob", "secret"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, 2001);
    EXPECT_EQ(errors[0].msg, "[AUTH] Authentication failed.");
    EXPECT_FALSE(pop.LoggedIn);
    script.ExpectDone();
}

TEST_F(Pop3Test, LineBreaksInCredentialsCannotAddACommand) {
    script.Server("+OK ready\r\n")
        .Client("USER bob  DELE 1\r\n")
        .Server("+OK\r\n")
        .Client("PASS pw QUIT\r\n")
        .Server("+OK\r\n");
    pop.Connect();
    EXPECT_TRUE(pop.Login("bob\r\nDELE 1", "pw\nQUIT"));
    script.ExpectDone();
}

TEST_F(Pop3Test, TraceMasksThePassword) {
    std::vector<std::string> sent;
    pop.OnSendTextToSocket = [&](mail::TObject*, const std::string& s) { sent.push_back(s); };
    LoggedIn();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], "USER bob\r\n");
    EXPECT_EQ(sent[1], "PASS ****\r\n");
    EXPECT_NE(script.allSent.find("PASS secret\r\n"), std::string::npos)
        << "the server still gets the password";
}

TEST_F(Pop3Test, HostAndPortChoice) {
    struct Row {
        const char* name;
        std::string host, port;
        std::string wantName, wantAddress;
        int wantPort;
    } rows[] = {
        {"numeric address", "10.1.2.3", "995", "", "10.1.2.3", 995},
        {"field of 256 is a name", "10.1.2.256", "110", "10.1.2.256", "", 110},
        {"three fields is a name", "10.1.2", "110", "10.1.2", "", 110},
        {"plain name", "mail.example.org", "110", "mail.example.org", "", 110},
        {"port not a number", "127.0.0.1", "pop", "", "127.0.0.1", 110},
    };
    for (const Row& r : rows) {
        script = Script();
        script.Server("+OK\r\n");
        pop.Host = r.host;
        pop.Port = r.port;
        pop.Connect();
        EXPECT_EQ(script.connectedHost, r.wantName) << r.name;
        EXPECT_EQ(script.connectedAddress, r.wantAddress) << r.name;
        EXPECT_EQ(script.connectedPort, r.wantPort) << r.name;
    }
}

TEST(PosixTransport, NumericAddressFieldsAreDecimal) {
    // A listening loopback socket completes the handshake without an accept.
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 8), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    const std::uint16_t port = ntohs(addr.sin_port);
    for (const char* address : {"127.0.0.1", "127.000.000.001", "127.0.0.0001"}) {
        mail::PosixTransport transport;
        bool connected = false;
        try {
            transport.Resolve("", address, port);
            transport.BeginConnect();
            for (int slice = 0; slice < 100 && !connected; ++slice)
                connected = transport.FinishConnect(50);
        } catch (const mail::TransportError& e) {
            ADD_FAILURE() << address << ": " << e.what();
        }
        EXPECT_TRUE(connected) << address;
    }
    for (const char* bad : {"127.0.0.", "127.0.0.1.2", "127.0.0.300", "127.0.0.x"}) {
        mail::PosixTransport transport;
        EXPECT_THROW(transport.Resolve("", bad, port), mail::TransportError) << bad;
    }
    ::close(listener);
}

TEST_F(Pop3Test, ConnectNotificationsInOrder) {
    std::vector<std::string> order;
    pop.OnLookup = [&](mail::TObject*, mail::TQelSocket&) { order.push_back("lookup"); };
    pop.OnConnecting = [&](mail::TObject*, mail::TQelSocket&) { order.push_back("connecting"); };
    pop.OnConnect = [&](mail::TObject*) {
        order.push_back(pop.Connected ? "connect" : "connect-unset");
    };
    pop.OnQuit = [&](mail::TObject*) { order.push_back("quit"); };
    script.Server("+OK\r\n").Client("QUIT\r\n").Server("+OK\r\n");
    pop.Connect();
    pop.Quit();
    EXPECT_EQ(order, (std::vector<std::string>{"lookup", "connecting", "connect", "quit"}));
}

TEST_F(Pop3Test, RefusedConnectReports2001WithItsReason) {
    script.refuseConnect = ECONNREFUSED;
    pop.ReplyText = "old text";
    pop.Connect();
    EXPECT_TRUE(pop.Failed);
    EXPECT_FALSE(pop.Connected);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, 2001);
    EXPECT_EQ(errors[0].msg,
              "Erreur socket Windows : Connection refused (111), avec l'API 'connect'");
}

TEST_F(Pop3Test, ConnectTimesOut) {
    script.connectHangs = true;
    pop.TimeOut = 500;
    pop.Connect();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, 2001);
    EXPECT_NE(errors[0].msg.find("(110)"), std::string::npos) << errors[0].msg;
    EXPECT_GE(pump.calls, 1);
}

TEST_F(Pop3Test, SilentServerTimesOutThroughTheFailurePath) {
    pop.TimeOut = 300;
    LoggedIn();
    script.Client("STAT\r\n").Silent();
    const int pumpsBefore = pump.calls;
    EXPECT_THROW(
        {
            try {
                pop.GetMailCount();
            } catch (const mail::SocketError& e) {
                EXPECT_STREQ(
                    e.what(),
                    "Erreur socket Windows : Connection timed out (110), avec l'API 'recv'");
                throw;
            }
        },
        mail::SocketError);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, 110);
    EXPECT_FALSE(pop.Connected);
    EXPECT_GT(pump.calls, pumpsBefore + 1) << "the wait must pump events between slices";
}

TEST_F(Pop3Test, NotConnectedRaises) {
    EXPECT_THROW(
        {
            try {
                pop.Login("bob", "secret");
            } catch (const mail::MailError& e) {
                EXPECT_STREQ(e.what(), "Invalid Op. Not connected.");
                throw;
            }
        },
        mail::MailError);
    for (auto call :
         {+[](TQelPOP& p) { p.DeleteMessage(1); }, +[](TQelPOP& p) { p.RetrieveMessage(1); },
          +[](TQelPOP& p) { p.RetrieveTop(1, 0); }}) {
        try {
            call(pop);
            ADD_FAILURE() << "no exception";
        } catch (const mail::MailError& e) {
            EXPECT_STREQ(e.what(), "Not connected.");
        }
    }
}

TEST_F(Pop3Test, DeleteAndUidl) {
    std::vector<std::uint32_t> deleted;
    pop.OnDelete = [&](mail::TObject*, std::uint32_t n) { deleted.push_back(n); };
    LoggedIn();
    script.Client("STAT\r\n")
        .Server("+OK 4 100\r\n")
        .Client("LAST\r\n")
        .Server("+OK 0\r\n")
        .Client("DELE 3\r\n")
        .Server("+OK marked\r\n")
        .Client("UIDL 2\r\n")
        .Server("+OK 2 abc.def-1\r\n");
    pop.GetMailCount();
    pop.DeleteMessage(3);
    EXPECT_EQ(pop.DeletedList, (mail::StringList{"3"}));
    EXPECT_EQ(pop.MessageCount, 3u);
    EXPECT_EQ(deleted, (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(pop.GetUIDL(2), "abc.def-1");
    script.ExpectDone();
}

TEST_F(Pop3Test, AbortedDeleteSendsNothing) {
    LoggedIn();
    pop.AbortRequested = true;
    pop.DeleteMessage(1);
    EXPECT_TRUE(pop.DeletedList.empty());
    script.ExpectDone();
}

TEST_F(Pop3Test, RetrieveUnstuffsAndFindsASplitTerminator) {
    LoggedIn();
    script.Client("LIST 1\r\n")
        .Server("+OK 1 2048\r\n")
        .Client("RETR 1\r\n")
        .Server("+OK\r\nSubject: hi\r\n\r\nline one\r\n..\r\n")
        .Server("..dot start\r\n-ERR is data\r\n.last\r")
        .Server("\n.\r\n");
    auto msg = pop.RetrieveMessage(1);
    EXPECT_EQ(msg->Subject, "hi");
    EXPECT_EQ(msg->Text, (mail::TextLines{"line one", ".", ".dot start", "-ERR is data", "last"}));
    EXPECT_EQ(msg->Size, 2048);
    EXPECT_FALSE(pop.Failed) << "a data chunk is not a reply";
    EXPECT_TRUE(errors.empty());
    script.ExpectDone();
}

// A message far larger than one receive, sent at once: it is read in large blocks, yet the
// terminator that straddles two of them is found, the stuffed dots go, the attachment is whole
// and progress moves in as many steps as kilobyte reads would give.
TEST_F(Pop3Test, LargeMessageInLargeReads) {
    std::string bytes(150000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    std::string body =
        "Subject: big\r\nContent-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\n"
        "Content-Type: text/plain\r\n\r\n..one\r\n..\r\n--B\r\n"
        "Content-Type: application/octet-stream; name=a.bin\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\n" +
        mail::EncodeBase64(bytes) + "\r\n--B--\r\n";
    // The last block read ends inside the terminator.
    const std::size_t blocks = body.size() / 65536 + 1;
    body += std::string(blocks * 65536 - 3 - body.size(), 'p') + "\r\n";
    const std::string answer = "+OK\r\n" + body + ".\r\n";
    LoggedIn();
    script.Client("LIST 1\r\n")
        .Server("+OK 1 " + std::to_string(answer.size()) + "\r\n")
        .Client("RETR 1\r\n")
        .Server("+OK\r\n")
        .Server(body + ".\r")
        .Server("\n");
    auto msg = pop.RetrieveMessage(1);
    EXPECT_TRUE(errors.empty());
    ASSERT_GE(msg->Text.size(), 2u);
    EXPECT_EQ(msg->Text[0], ".one");
    EXPECT_EQ(msg->Text[1], ".");
    ASSERT_EQ(msg->AttachedFiles.Count(), 1u);
    EXPECT_TRUE(msg->AttachedFiles.Items(0).Data.Bytes() == bytes) << "attachment damaged";
    EXPECT_GE(progress.size(), 10u);
    for (std::size_t i = 1; i < progress.size(); ++i)
        EXPECT_GT(progress[i], progress[i - 1]);
    EXPECT_EQ(progress.back(), 100);
    script.ExpectDone();
}

TEST_F(Pop3Test, TopWithoutListSizeAndProgressSteps) {
    LoggedIn();
    pop.RetrieveProgressStep = 10;
    // 100 bytes announced by default; 24 bytes, then 40 and 50 more: 64 % and 114 %, no end report.
    script.Client("LIST 2\r\n")
        .Server("+OK 2\r\n")
        .Client("TOP 2 5\r\n")
        .Server("+OK top follows\r\nA: 12\r\n")
        .Server(std::string("X-Pad: ") + std::string(31, 'x') + "\r\n")
        .Server("\r\n" + std::string(43, 'b') + "\r\n.\r\n");
    auto msg = pop.RetrieveTop(2, 5);
    EXPECT_EQ(progress, (std::vector<std::uint16_t>{64, 114}));
    EXPECT_EQ(msg->Size, 100);
    script.ExpectDone();
}

TEST_F(Pop3Test, OneReadGivesOneReportOf100) {
    LoggedIn();
    script.Client("LIST 1\r\n")
        .Server("+OK 1 0\r\n")
        .Client("RETR 1\r\n")
        .Server("+OK\r\nA: b\r\n\r\nbody\r\n.\r\n");
    auto msg = pop.RetrieveMessage(1);
    EXPECT_EQ(progress, (std::vector<std::uint16_t>{100}));
    EXPECT_EQ(msg->Text, (mail::TextLines{"body"}));
}

TEST_F(Pop3Test, ZeroListSizeReportsOnlyTheEnd) {
    LoggedIn();
    script.Client("LIST 1\r\n")
        .Server("+OK 1 0\r\n")
        .Client("RETR 1\r\n")
        .Server("+OK\r\n")
        .Server("A: b\r\n\r\n")
        .Server("body\r\n.\r\n");
    pop.RetrieveMessage(1);
    EXPECT_EQ(progress, (std::vector<std::uint16_t>{100}));
}

TEST_F(Pop3Test, RefusedRetrieveReturnsAnEmptyMessage) {
    LoggedIn();
    script.Client("LIST 9\r\n")
        .Server("-ERR no such message\r\n")
        .Client("RETR 9\r\n")
        .Server("-ERR no such message\r\n");
    auto msg = pop.RetrieveMessage(9);
    ASSERT_NE(msg, nullptr);
    EXPECT_TRUE(msg->RawMail.empty());
    EXPECT_EQ(msg->Size, 0);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, 2004);
    EXPECT_FALSE(pop.Connected);
    script.ExpectDone();
}

TEST_F(Pop3Test, ServerClosingMidMessageStopsWith2004) {
    LoggedIn();
    script.Client("LIST 1\r\n")
        .Server("+OK 1 5000\r\n")
        .Client("RETR 1\r\n")
        .Server("+OK\r\nSubject: cut\r\n\r\npart of it\r\n")
        .Close();
    auto msg = pop.RetrieveMessage(1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, 2004);
    EXPECT_EQ(errors[0].msg, "Connection closed by the server.");
    EXPECT_TRUE(msg->RawMail.empty());
    EXPECT_FALSE(pop.Connected);
}

// A preview that never ends stops at 1 MB, even of a message announced larger.
TEST_F(Pop3Test, HeaderPreviewOverOneMegabyteFails) {
    LoggedIn();
    script.Client("LIST 1\r\n")
        .Server("+OK 1 5000000\r\n")
        .Client("TOP 1 0\r\n")
        .Server("+OK\r\n")
        .Server(std::string(TQelPOP::kMaxHeaderPreview + 4096, 'h'));
    auto msg = pop.RetrieveTop(1, 0);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, 2004);
    EXPECT_EQ(errors[0].msg, "The message header is larger than 1 MB.");
    EXPECT_TRUE(msg->RawMail.empty());
    EXPECT_FALSE(pop.Connected);
}

// A message that moves less than 1 KB in TimeOut is given up on, though every receive brings
// something before its own time-out.
TEST_F(Pop3Test, SlowRetrievalFailsBelowOneKilobytePerTimeOut) {
    pop.TimeOut = 1000;
    LoggedIn();
    script.Client("LIST 1\r\n").Server("+OK 1 5000\r\n").Client("RETR 1\r\n").Server("+OK\r\n");
    for (int i = 0; i < 8; ++i)
        script.Server(std::string(200, 'd')).Pause(300);
    script.Server("\r\n.\r\n");
    EXPECT_THROW(pop.RetrieveMessage(1), mail::SocketError);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, ETIMEDOUT);
    EXPECT_FALSE(pop.Connected);
}

// An answer may pass the size LIST (or STAT, when LIST gives none) announced by a tenth and
// 64 KB; past that it is a failure at once, and no more than that is ever read or held.
TEST_F(Pop3Test, AnswerBeyondTheAnnouncedSizeFailsAtOnce) {
    const std::int64_t allowed = 1000 + 100 + TQelPOP::kOverSizeSlack;
    const std::string within = std::string(allowed - 200, 'w') + "\r\n.\r\n";
    const std::string endless(1 << 20, 'x');
    const struct {
        const char* name;
        bool stat;
        std::string list;
        std::string body;
        bool fails;
    } rows[] = {
        {"LIST size", false, "+OK 1 1000\r\n", endless, true},
        {"STAT total when LIST gives none", true, "-ERR no size here\r\n", endless, true},
        {"a tenth and 64 KB more is still a message", false, "+OK 1 1000\r\n", within, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        script = Script();
        script.clock = &clock;
        errors.clear();
        LoggedIn();
        if (row.stat) {
            script.Client("STAT\r\n")
                .Server("+OK 1 1000\r\n")
                .Client("LAST\r\n")
                .Server("-ERR no LAST\r\n");
            pop.GetMailCount();
        }
        script.Client("LIST 1\r\n")
            .Server(row.list)
            .Client("RETR 1\r\n")
            .Server("+OK\r\n")
            .Server(row.body);
        pop.RetrieveMessage(1);
        if (!row.fails) {
            EXPECT_TRUE(errors.empty());
            continue;
        }
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].error, 2004);
        EXPECT_EQ(errors[0].msg, "The server sent more than the message's size.");
        ASSERT_FALSE(script.steps.empty());
        const std::size_t read = endless.size() - script.steps.front().bytes.size();
        EXPECT_LE(read, static_cast<std::size_t>(allowed)) << "read past the allowance";
    }
}

// Each read brings more than 1 KB within TimeOut, but the whole answer must arrive within
// TimeOut and a second for every 2 KB announced. The clock moves while events are pumped, so
// bytes are always waiting when the client reads.
TEST_F(Pop3Test, TricklingAnswerEndsWithinItsDeadline) {
    pop.TimeOut = 10000;
    LoggedIn();
    script.Client("LIST 1\r\n").Server("+OK 1 1000\r\n").Client("RETR 1\r\n").Server("+OK\r\n");
    for (int i = 0; i < 40; ++i)
        script.Server(std::string(1100, 't') + "\r\n");
    script.Server(".\r\n");
    const std::int64_t start = clock.now;
    pump.onPump = [this] { clock.now += 500; };
    EXPECT_THROW(pop.RetrieveMessage(1), mail::SocketError);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, ETIMEDOUT);
    EXPECT_LE(clock.now - start, 10000 + 1000);
}

TEST_F(Pop3Test, AbortDuringRetrievalReturnsWhatArrivedUnparsed) {
    LoggedIn();
    script.Client("LIST 1\r\n")
        .Server("+OK 1 5000\r\n")
        .Client("RETR 1\r\n")
        .Server("+OK\r\nSubject: big\r\n\r\n");
    pump.onPump = [this] {
        if (script.steps.empty())
            pop.AbortRequested = true;
    };
    auto msg = pop.RetrieveMessage(1);
    EXPECT_EQ(msg->RawMail, (mail::StringList{"+OK", "Subject: big", ""}));
    EXPECT_EQ(msg->Subject, "");
    EXPECT_TRUE(errors.empty());
}

TEST_F(Pop3Test, UidlOnRetrieve) {
    pop.GetUIDLsOnRetrieve = true;
    LoggedIn();
    script.Client("LIST 1\r\n")
        .Server("+OK 1 30\r\n")
        .Client("RETR 1\r\n")
        .Server("+OK\r\nA: b\r\n\r\n.\r\n")
        .Client("UIDL 1\r\n")
        .Server("+OK 1 id-1\r\n");
    auto msg = pop.RetrieveMessage(1);
    EXPECT_EQ(msg->UIDL, "id-1");
    script.ExpectDone();
}

TEST_F(Pop3Test, PeerClosingAfterLoginIsNoSuccess) {
    LoggedIn();
    script.Client("STAT\r\n").Close();
    pop.GetMailCount();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, 2006);
    EXPECT_EQ(errors[0].msg, "Connection closed by the server.");
}

}  // namespace
