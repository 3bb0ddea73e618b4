#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "FakeEventPump.h"
#include "ScriptedTransport.h"
#include "mail/ImapResponse.h"
#include "mail/QelIMAP.h"

namespace {

using mail::ImapReader;
using mail::ImapResponse;
using mail::TQelIMAP;
using testsupport::Script;

const std::string kHeader = "Subject: hi\r\nFrom: ann@example.org\r\n\r\n";

class ImapTest : public ::testing::Test {
protected:
    ImapTest() : factory(script), imap(factory, pump, clock) {
        script.clock = &clock;
        imap.Host = "127.0.0.1";
        imap.OnError = [this](mail::TObject*, int error, const std::string& msg) {
            errors.push_back({error, msg});
        };
    }

    // Greeting with its capabilities, LOGIN accepted, INBOX examined with 3 messages.
    void Opened(const std::string& capabilities = "IMAP4rev1 IDLE") {
        script.Server("* OK [CAPABILITY " + capabilities + "] ready\r\n")
            .Client("V1 LOGIN \"bob\" \"se\\\"cret\"\r\n")
            .Server("V1 OK logged in\r\n")
            .Client("V2 EXAMINE \"INBOX\"\r\n")
            .Server("* 3 EXISTS\r\n* OK [UIDVALIDITY 77] ok\r\n* OK [UIDNEXT 12] ok\r\n")
            .Server("V2 OK [READ-ONLY] done\r\n");
        imap.Connect();
        ASSERT_TRUE(imap.Login("bob", "se\"cret"));
        ASSERT_TRUE(imap.Examine("INBOX"));
    }

    struct Report {
        int error;
        std::string msg;
    };
    Script script;
    testsupport::FakeClock clock;
    testsupport::FakeEventPump pump;
    testsupport::ScriptedFactory factory;
    TQelIMAP imap;
    std::vector<Report> errors;
};

TEST(ImapReader, LiteralsAndQuotedStringsWhateverTheCuts) {
    const std::string wire =
        "* 2 FETCH (FLAGS (\\Seen) UID 9 BODY[HEADER] {5}\r\nab)\r\n RFC822.SIZE 40 "
        "X \"q \\\"x\\\\\" Y NIL)\r\nV3 OK [ALERT] fine\r\n";
    for (const std::size_t cut : {wire.size(), std::size_t{1}, std::size_t{7}}) {
        ImapReader reader(1024, 100);
        std::vector<ImapResponse> got;
        for (std::size_t at = 0; at < wire.size(); at += cut) {
            reader.Feed(std::string_view(wire).substr(at, cut));
            for (ImapResponse r; reader.Next(r) == ImapReader::Result::Response;)
                got.push_back(r);
        }
        ASSERT_EQ(got.size(), 2u) << "cut " << cut;
        ASSERT_FALSE(got[0].malformed);
        EXPECT_EQ(got[0].number, 2u);
        EXPECT_EQ(got[0].name, "FETCH");
        mail::ImapValue& list = got[0].values.at(0);
        EXPECT_EQ(mail::FetchItem(list, "body[header]")->text, "ab)\r\n") << "cut " << cut;
        EXPECT_EQ(mail::FetchItem(list, "RFC822.SIZE")->Number(), 40u);
        EXPECT_EQ(mail::FetchItem(list, "X")->text, "q \"x\\");
        EXPECT_EQ(mail::FetchItem(list, "Y")->kind, mail::ImapValue::Kind::Nil);
        EXPECT_EQ(got[1].tag, "V3");
        EXPECT_EQ(got[1].status, "OK");
        EXPECT_EQ(got[1].code, "ALERT");
        EXPECT_EQ(got[1].text, "fine");
    }
}

TEST(ImapReader, LimitsHoldBeforeTheBytesCome) {
    struct Row {
        const char* name;
        std::string wire;
    } rows[] = {
        {"literal past the limit", "* 1 FETCH (BODY[] {101}\r\n"},
        {"literals together past the limit",
         "* 1 FETCH (A {60}\r\n" + std::string(60, 'x') + " B {41}\r\n"},
        {"line past the limit", std::string(1025, 'a')},
        {"text past the limit over several lines",
         "* X {1}\r\n." + std::string(1020, 'b') + "\r\n"},
    };
    for (const Row& row : rows) {
        ImapReader reader(1024, 100);
        reader.Feed(row.wire);
        ImapResponse r;
        EXPECT_EQ(reader.Next(r), ImapReader::Result::Error) << row.name;
        EXPECT_FALSE(reader.Fault().empty()) << row.name;
    }
}

TEST(ImapFolderName, ModifiedUtf7BothWays) {
    struct Row {
        const char* utf8;
        const char* wire;
    } rows[] = {
        {"INBOX", "INBOX"},
        {"Entwürfe", "Entw&APw-rfe"},
        {"~peter/mail/台北/日本語", "~peter/mail/&U,BTFw-/&ZeVnLIqe-"},
        {"A&B", "A&-B"},
        {"😀", "&2D3eAA-"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(mail::EncodeImapFolder(row.utf8), row.wire) << row.utf8;
        EXPECT_EQ(mail::DecodeImapFolder(row.wire), row.utf8) << row.wire;
    }
    EXPECT_EQ(mail::DecodeImapFolder("bad&***-"), "bad&***-");
}

TEST_F(ImapTest, CountAndFetchTakeUntaggedAnswersInAnyOrder) {
    Opened();
    EXPECT_EQ(imap.Exists, 3u);
    EXPECT_EQ(imap.UidValidity, 77u);
    EXPECT_EQ(imap.UidNext, 12u);
    script.Client("V3 UID SEARCH UNSEEN\r\n")
        .Server("* 4 EXISTS\r\n* SEARCH 11 5\r\n")
        .Server("* SEARCH 8\r\nV3 OK done\r\n")
        .Client("V4 UID FETCH 8 (UID RFC822.SIZE BODY.PEEK[HEADER])\r\n")
        // A flag change elsewhere comes first; the literal arrives in three receives.
        .Server("* 1 FETCH (UID 5 FLAGS (\\Seen))\r\n* 2 FETCH (UID 8 RFC822.SIZE 999 ")
        .Server("BODY[HEADER] {" + std::to_string(kHeader.size()) + "}\r\n" + kHeader.substr(0, 10))
        .Server(kHeader.substr(10) + ")\r\nV4 OK done\r\n")
        .Client("V5 LOGOUT\r\n")
        .Server("* BYE see you\r\nV5 OK done\r\n");
    imap.GetMailCount(true);
    EXPECT_EQ(imap.Uids, (std::vector<std::uint32_t>{5, 8, 11}));
    EXPECT_EQ(imap.MessageCount, 3u);
    EXPECT_EQ(imap.Exists, 4u);
    auto header = imap.FetchHeader(8);
    EXPECT_EQ(header->Subject, "hi");
    EXPECT_EQ(header->From, "ann@example.org");
    EXPECT_EQ(header->Size, 999);
    imap.Logout();
    EXPECT_FALSE(imap.Connected);
    EXPECT_TRUE(errors.empty()) << errors.front().msg;
    script.ExpectDone();
}

TEST_F(ImapTest, RefusalsAndBrokenAnswersRunTheFailurePath) {
    struct Row {
        const char* name;
        std::string answer;
        int error;
        std::string text;
        // The refusal's status word; the monitor tells a refused login by it.
        std::string status;
    } rows[] = {
        {"NO", "V3 NO [SERVERBUG] oops\r\n", TQelIMAP::kErrRetrieve, "oops", "NO"},
        {"BAD", "V3 BAD what\r\n", TQelIMAP::kErrRetrieve, "what", "BAD"},
        {"BYE then close", "* BYE shutting down\r\n", TQelIMAP::kErrRetrieve, "shutting down", ""},
        {"close without a word", "", TQelIMAP::kErrRetrieve, mail::kClosedByServer, ""},
        {"BYE inside the literal", "* 1 FETCH (UID 4 BODY[] {10}\r\n* BYE x\r\n",
         TQelIMAP::kErrRetrieve, mail::kClosedByServer, ""},
        {"literal over 256 MB", "* 1 FETCH (UID 4 BODY[] {268435457}\r\n", TQelIMAP::kErrRetrieve,
         "The server announced 268435457 bytes, more than the limit.", ""},
        {"another tag", "V9 OK\r\n", TQelIMAP::kErrRetrieve,
         "Protocol error: the server answers a command that was not sent.", ""},
        {"UID not there", "V3 OK nothing\r\n", TQelIMAP::kErrRetrieve,
         "The message is no longer on the server.", ""},
    };
    for (const Row& row : rows) {
        script = Script();
        errors.clear();
        Opened();
        script.Client("V3 UID FETCH 4 (UID RFC822.SIZE BODY.PEEK[])\r\n");
        if (!row.answer.empty())
            script.Server(row.answer);
        script.Close();
        auto message = imap.FetchMessage(4);
        EXPECT_TRUE(message->Subject.empty()) << row.name;
        ASSERT_EQ(errors.size(), 1u) << row.name;
        EXPECT_EQ(errors[0].error, row.error) << row.name;
        EXPECT_EQ(errors[0].msg, row.text) << row.name;
        EXPECT_EQ(imap.ReplyStatus, row.status) << row.name;
        EXPECT_FALSE(imap.Connected) << row.name;
        script.ExpectDone();
    }
}

TEST_F(ImapTest, AnswersThatTrickleInEndWithinTheTimeOutAsAWhole) {
    Opened();
    imap.TimeOut = 10000;
    script.Client("V3 UID SEARCH UNSEEN\r\n");
    for (int i = 0; i < 5; ++i)
        script.Server("* OK still here\r\n").Pause(4000);
    script.Server("V3 OK\r\n");
    EXPECT_THROW(imap.GetMailCount(true), mail::SocketError);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, ETIMEDOUT);
    EXPECT_LE(clock.now, 1000 + 12000);
}

TEST_F(ImapTest, DeleteExpungesOnlyTheOneMessage) {
    // With UIDPLUS by UID; without, only when nothing else carries \Deleted.
    script.Server("* OK [CAPABILITY IMAP4rev1 UIDPLUS] hi\r\n")
        .Client("V1 SELECT \"INBOX\"\r\n")
        .Server("V1 OK [READ-WRITE] done\r\n")
        .Client("V2 UID STORE 7 +FLAGS.SILENT (\\Deleted)\r\n")
        .Server("V2 OK\r\n")
        .Client("V3 UID EXPUNGE 7\r\n")
        .Server("* 2 EXPUNGE\r\nV3 OK\r\n");
    imap.Connect();
    ASSERT_TRUE(imap.Select("INBOX"));
    EXPECT_TRUE(imap.DeleteMessage(7));
    script.ExpectDone();

    script = Script();
    script.Server("* OK [CAPABILITY IMAP4rev1] hi\r\n")
        .Client("V1 SELECT \"INBOX\"\r\n")
        .Server("V1 OK [READ-WRITE] done\r\n")
        .Client("V2 UID SEARCH DELETED\r\n")
        .Server("* SEARCH 3 7\r\nV2 OK\r\n")
        .Close();
    imap.Connect();
    ASSERT_TRUE(imap.Select("INBOX"));
    EXPECT_FALSE(imap.DeleteMessage(7));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, TQelIMAP::kErrDelete);
    script.ExpectDone();
}

TEST_F(ImapTest, AutoSecurityTakesStartTlsBeforeTheLoginOrSendsNothing) {
    imap.Host = "mail.example.org";
    script.Server("* OK ready\r\n")
        .Client("V1 CAPABILITY\r\n")
        .Server("* CAPABILITY IMAP4rev1 STARTTLS LOGINDISABLED\r\nV1 OK\r\n")
        .Client("V2 STARTTLS\r\n")
        // Bytes put in after the answer, in clear, must not count as the server's.
        .Server("V2 OK go\r\n* CAPABILITY IMAP4rev1 AUTH=PLAIN\r\n")
        .Client("V3 CAPABILITY\r\n")
        .Server("* CAPABILITY IMAP4rev1 AUTH=PLAIN\r\nV3 OK\r\n")
        // LOGIN cannot carry 8-bit: AUTHENTICATE PLAIN, its response after the "+".
        .Client("V4 AUTHENTICATE PLAIN\r\n")
        .Server("+ \r\n")
        .Client("AGJvYgBzw6ljcmV0\r\n")
        .Server("V4 OK in\r\n");
    imap.Connect();
    EXPECT_TRUE(imap.Login("bob",
                           "s\xc3\xa9"
                           "cret"));
    EXPECT_EQ(script.tlsStarts, 1);
    script.ExpectDone();

    script = Script();
    script.Server("* OK [CAPABILITY IMAP4rev1 AUTH=PLAIN] ready\r\n").Close();
    imap.Connect();
    EXPECT_FALSE(imap.Login("bob", "secret"));
    EXPECT_EQ(script.allSent, "");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].msg.find("offers no TLS"), std::string::npos) << errors[0].msg;
    script.ExpectDone();
}

TEST_F(ImapTest, IdleReportsNewMessagesThenEndsWithDone) {
    Opened();
    script.Client("V3 IDLE\r\n")
        .Server("+ idling\r\n")
        .Pause(1000)
        .Server("* 4 EXISTS\r\n* 1 RECENT\r\n")
        .Client("DONE\r\n")
        .Server("V3 OK IDLE terminated\r\n")
        .Client("V4 IDLE\r\n")
        .Server("+ idling\r\n")
        .Pause(5000)
        .Client("DONE\r\n")
        .Server("V4 OK IDLE terminated\r\n");
    std::vector<std::uint32_t> seen;
    auto stopAtOnce = [&seen](std::uint32_t exists) {
        seen.push_back(exists);
        return true;
    };
    EXPECT_TRUE(imap.Idle(60000, stopAtOnce));
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{4}));
    // A quiet server: the wait ends at its time without a failure.
    EXPECT_TRUE(imap.Idle(3000, stopAtOnce));
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_TRUE(errors.empty());
    script.ExpectDone();
}

}  // namespace
