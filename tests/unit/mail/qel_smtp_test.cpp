#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "FakeEventPump.h"
#include "ScriptedTransport.h"
#include "mail/QelMIME.h"
#include "mail/QelSMTP.h"
#include "platform/LocalHost.h"

namespace {

using mail::StringList;
using mail::TQelSMTP;
using testsupport::Script;

struct ErrorReport {
    int error;
    std::string msg;
};

class SmtpTest : public ::testing::Test {
protected:
    SmtpTest() : factory(script), smtp(factory, pump, clock) {
        script.clock = &clock;
        smtp.Host = "127.0.0.1";
        smtp.OnError = [this](mail::TObject*, int error, const std::string& msg) {
            errors.push_back({error, msg});
        };
        smtp.OnSendProgress = [this](mail::TObject*, std::uint16_t p) { progress.push_back(p); };
        smtp.OnAfterSend = [this](mail::TObject*) { ++afterSend; };
        message.From = "me@here.org";
        message.SendTo = "you@there.org";
        message.Text = {"hello"};
    }

    void Greeted() {
        script.Server("220 smtp ready\r\n").Client(helo).Server("250\r\n");
        smtp.Connect();
        ASSERT_FALSE(smtp.Failed);
    }

    std::string helo = "EHLO " + platform::LocalHostName() + "\r\n";
    Script script;
    testsupport::FakeClock clock;
    testsupport::FakeEventPump pump;
    testsupport::ScriptedFactory factory;
    TQelSMTP smtp;
    mail::TQelMsg message;
    std::vector<ErrorReport> errors;
    std::vector<std::uint16_t> progress;
    int afterSend = 0;
};

std::vector<std::string> DataBlocks(const std::string& sent) {
    std::vector<std::string> blocks;
    std::size_t at = 0;
    while ((at = sent.find("DATA\r\n", at)) != std::string::npos) {
        at += 6;
        const std::size_t end = sent.find("\r\n.\r\n", at);
        blocks.push_back(
            sent.substr(at, end == std::string::npos ? std::string::npos : end + 5 - at));
    }
    return blocks;
}

TEST_F(SmtpTest, ReplyReaderFindsTheFinalLine) {
    struct Row {
        const char* name;
        std::vector<std::string> reads;
    } rows[] = {
        {"three lines in one read", {"220-first\r\n220-second\r\n220 HELP\r\n"}},
        {"continuation and final in two reads", {"220-first\r\n", "220 done\r\n"}},
        {"line split inside its code", {"220-a\r\n22", "0 fine\r\n"}},
        {"bare code is final", {"220\r\n"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        script = Script();
        std::vector<std::string> traced;
        smtp.OnReceiveTextFromSocket = [&](mail::TObject*, const std::string& s) {
            traced.push_back(s);
        };
        for (const auto& read : r.reads)
            script.Server(read);
        script.Client(helo).Server("250 ok\r\n").Client("QUIT\r\n").Server("221 bye\r\n");
        smtp.Connect();
        smtp.Quit();
        EXPECT_TRUE(errors.empty());
        script.ExpectDone();
        ASSERT_EQ(traced.size(), 3u);
        EXPECT_EQ(traced[0].substr(0, 3), "220");
        EXPECT_EQ(smtp.ReplyCode, "221");
    }
}

// Hostile replies end the step through the failure path with a text that says why, instead of
// growing without bound or looping.
TEST_F(SmtpTest, ReplyReaderIsBounded) {
    std::string manyLines;
    for (int i = 0; i < 1001; ++i)
        manyLines += "220-more\r\n";
    const struct {
        const char* name;
        std::string greeting;
        std::string msg;
    } rows[] = {
        {"line without end", "220 " + std::string(9000, 'x'),
         "The server's reply line is longer than 8 KB."},
        {"endless continuation", manyLines, "The server's reply has more than 1000 lines."},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        errors.clear();
        script = Script();
        script.clock = &clock;
        script.Server(r.greeting);
        smtp.Connect();
        EXPECT_TRUE(smtp.Failed);
        EXPECT_FALSE(smtp.Connected);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].error, TQelSMTP::kErrClosed);
        EXPECT_EQ(errors[0].msg, r.msg);
    }
}

// An abort while a reply is awaited ends the wait at once, not after TimeOut.
TEST_F(SmtpTest, AbortEndsTheWaitForAReply) {
    Greeted();
    script.Client("MAIL FROM:<me@here.org>\r\n").Silent();
    pump.onPump = [this] {
        if (script.allSent.find("MAIL FROM") != std::string::npos)
            smtp.AbortRequested = true;
    };
    const std::int64_t before = clock.now;
    EXPECT_FALSE(smtp.SendMessage(message));
    EXPECT_LT(clock.now - before, static_cast<std::int64_t>(smtp.TimeOut));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].msg, "Aborted.");
    EXPECT_FALSE(smtp.Connected);
}

TEST_F(SmtpTest, ReplyTextOfAFinalLine) {
    struct Row {
        const char* name;
        std::string greeting, text;
    } rows[] = {
        {"word after code", "554-x\r\n554 HELP\r\n", "HELP"},
        {"bare code", "554\r\n", ""},
        {"64 characters from the blank on", "554 " + std::string(70, 'x') + "\r\n",
         std::string(63, 'x')},
    };
    for (const Row& r : rows) {
        script = Script();
        errors.clear();
        script.Server(r.greeting);
        smtp.Connect();
        EXPECT_EQ(smtp.ReplyCode, "554") << r.name;
        EXPECT_EQ(smtp.ReplyText, r.text) << r.name;
        ASSERT_EQ(errors.size(), 1u) << r.name;
        EXPECT_EQ(errors[0].error, 554) << r.name;
    }
}

TEST_F(SmtpTest, SendsToCcAndBccInSeparateTransactions) {
    message.UserName = "Me Myself";
    message.From = "me";
    message.SendTo = "A <a@x.org>, b@x.org";
    message.BCC = "hidden@x.org";
    message.Text = {"first", ".dot line", "last"};
    Greeted();
    // The server answers each step in turn; what the client sent is checked afterwards.
    for (const char* reply : {"250 ok", "250 ok", "250 ok", "354 go", "250 queued", "250 reset",
                              "250 ok", "250 ok", "354 go", "250 queued", "250 reset", "221 bye"})
        script.Server(std::string(reply) + "\r\n");
    script.pendingSent.clear();
    script.allSent.clear();
    EXPECT_TRUE(smtp.SendMessage(message));
    smtp.Quit();
    const std::string sent = script.allSent;
    EXPECT_EQ(sent.find("MAIL FROM:<me>\r\nRCPT TO:<a@x.org>\r\nRCPT TO:<b@x.org>\r\nDATA\r\n"),
              0u);
    EXPECT_NE(sent.find("RSET\r\nMAIL FROM:<me>\r\nRCPT TO:<hidden@x.org>\r\nDATA\r\n"),
              std::string::npos);
    ASSERT_GE(sent.size(), 12u);
    EXPECT_EQ(sent.substr(sent.size() - 12), "RSET\r\nQUIT\r\n");
    auto blocks = DataBlocks(sent);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0], blocks[1]) << "the same composed message both times";
    EXPECT_EQ(blocks[0].find("hidden"), std::string::npos) << "Bcc named in a header";
    EXPECT_NE(blocks[0].find("\r\nFrom: \"Me Myself\" <me@127.0.0.1>\r\n"), std::string::npos);
    EXPECT_NE(blocks[0].find("\r\n..dot line\r\n"), std::string::npos);
    EXPECT_EQ(blocks[0].substr(blocks[0].size() - 11), "last\r\n\r\n.\r\n");
    EXPECT_EQ(afterSend, 1);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(errors.empty());
    script.pendingSent.clear();
    script.ExpectDone();
}

TEST_F(SmtpTest, HeaderOrderWithoutAttachments) {
    message.Date = "Sun, 6 Dec 2026 23:41:05 +0100";
    message.InReplyTo = "<orig@x>";
    message.References = "<root@x> <orig@x>";
    message.ReplyTo = "r@x.org";
    message.CC = "c@x.org";
    message.Priority = mail::TPriority::prHighest;
    message.Subject = "Greetings";
    message.ExtraHeaders = {"X-Extra: 1"};
    auto lines = smtp.BuildMessage(message);
    ASSERT_TRUE(lines.has_value());
    ASSERT_GE(lines->size(), 17u);
    EXPECT_EQ((*lines)[0].rfind("Message-Id: <QEL.", 0), 0u);
    const StringList rest(lines->begin() + 1, lines->end());
    EXPECT_EQ(rest,
              (StringList{"In-Reply-To: <orig@x>", "References: <root@x> <orig@x>",
                          "Date: Sun, 6 Dec 2026 23:41:05 +0100", "X-Priority: 1",
                          "From: me@here.org", "Reply-To: r@x.org", "X-Mailer: Vorla",
                          "To: you@there.org", "CC: c@x.org", "MIME-Version: 1.0",
                          "Subject: Greetings", "Content-Type: Text/Plain; charset=ISO-8859-1",
                          "Content-Transfer-Encoding: 8Bit", "X-Extra: 1", "", "hello"}));
}

// A sender that names no charset (vorla-mailtool) gets its text labelled by what it holds and
// its 8-bit header text as encoded words; without 8BITMIME its 8-bit body goes quoted-printable.
TEST_F(SmtpTest, TextOfASenderWithoutCharset) {
    const std::string gruesse =
        "Gr\xC3\xBC\xC3\x9F"
        "e";  // UTF-8
    // A display name with a comma and quotes, written as a quoted-string.
    const std::string to = "\"J\xC3\xBCrgen, \\\"Sohn\\\"\" <j@x.org>, b@y.org";
    struct Row {
        const char* name;
        std::string charset, userName, subject, body;
        StringList headers;  // lines the header block must hold
        StringList bodyLines;
    } rows[] = {
        {"UTF-8 text",
         "",
         "J\xC3\xBCrgen",
         gruesse + " aus " + std::string(60, 'x') + " " + gruesse,
         gruesse + " = " + std::string(80, 'y'),
         {"From: =?UTF-8?B?SsO8cmdlbg==?= <me@here.org>",
          "To: =?UTF-8?B?SsO8cmdlbiwgIlNvaG4i?= <j@x.org>, b@y.org",
          "Content-Type: Text/Plain; charset=UTF-8", "Content-Transfer-Encoding: quoted-printable"},
         {"Gr=C3=BC=C3=9Fe =3D " + std::string(55, 'y') + "=", std::string(25, 'y')}},
        {"Latin-1 body",
         "",
         "",
         "plain",
         "caf\xE9 ",
         {"Subject: plain", "Content-Type: Text/Plain; charset=ISO-8859-1",
          "Content-Transfer-Encoding: quoted-printable"},
         {"caf=E9=20"}},
        {"a named charset is sent as before",
         "ISO-8859-1",
         "J\xC3\xBCrgen",
         gruesse,
         gruesse,
         {"From: \"J\xC3\xBCrgen\" <me@here.org>", "To: " + to, "Subject: " + gruesse,
          "Content-Type: Text/Plain; charset=ISO-8859-1", "Content-Transfer-Encoding: 8Bit"},
         {gruesse}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        message.CharSet = r.charset;
        message.SendTo = to;
        message.UserName = r.userName;
        message.Subject = r.subject;
        message.Text = {r.body};
        auto lines = smtp.BuildMessage(message);
        ASSERT_TRUE(lines.has_value());
        const auto blank = std::find(lines->begin(), lines->end(), "");
        const StringList headers(lines->begin(), blank);
        for (const std::string& h : r.headers)
            EXPECT_NE(std::find(headers.begin(), headers.end(), h), headers.end()) << h;
        EXPECT_EQ(StringList(blank + 1, lines->end()), r.bodyLines);
        // The subject reads back as it was given; no header line holds an 8-bit byte unless
        // the sender named its charset.
        std::string subject;
        for (auto h = headers.begin(); h != headers.end(); ++h) {
            if (h->rfind("Subject:", 0) != 0)
                continue;
            subject = h->substr(8);
            for (auto c = h + 1; c != headers.end() && (*c)[0] == ' '; ++c)
                subject += *c;
        }
        auto is7Bit = [](const std::string& text) {
            return std::all_of(text.begin(), text.end(),
                               [](char c) { return static_cast<unsigned char>(c) < 128; });
        };
        if (!r.charset.empty() || is7Bit(r.subject)) {
            EXPECT_EQ(subject, " " + r.subject);
            continue;
        }
        // Adjacent "B" words joined: the blanks between them are folding, not text.
        std::istringstream words(subject);
        std::string decoded;
        for (std::string word; words >> word;) {
            ASSERT_EQ(word.rfind("=?UTF-8?B?", 0), 0u) << word;
            decoded += mail::DecodeBase64(word.substr(10, word.size() - 12));
        }
        EXPECT_EQ(decoded, r.subject);
        for (const std::string& h : headers)
            EXPECT_TRUE(is7Bit(h)) << h;
    }
}

// Where the server offers 8BITMIME an 8-bit body goes as it is, declared on MAIL FROM.
TEST_F(SmtpTest, EightBitBodyIsDeclaredWhereTheServerTakesIt) {
    message.Text = {
        "Gr\xC3\xBC\xC3\x9F"
        "e"};
    script.Server("220 smtp ready\r\n")
        .Client(helo)
        .Server("250-mx\r\n250 8BITMIME\r\n")
        .Client("MAIL FROM:<me@here.org> BODY=8BITMIME\r\n")
        .Server("250 ok\r\n")
        .Client("RCPT TO:<you@there.org>\r\n")
        .Server("250 ok\r\n")
        .Client("DATA\r\n")
        .Server("354 go\r\n");
    script.Server("250 queued\r\n").Server("250 reset\r\n");
    smtp.Connect();
    EXPECT_TRUE(smtp.SendMessage(message));
    auto blocks = DataBlocks(script.allSent);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_NE(blocks[0].find("charset=UTF-8\r\nContent-Transfer-Encoding: 8Bit\r\n"),
              std::string::npos);
    EXPECT_NE(blocks[0].find("\r\n\r\nGr\xC3\xBC\xC3\x9F"
                             "e\r\n"),
              std::string::npos);
    EXPECT_TRUE(errors.empty());
}

TEST_F(SmtpTest, Base64TextAndSubject) {
    message.TextEncoding = mail::TTextEncoding::teBase64;
    message.Subject = std::string(100, 's');
    message.Text = {".dot", "end"};
    auto lines = smtp.BuildMessage(message);
    ASSERT_TRUE(lines.has_value());
    std::string subject;
    for (const auto& l : *lines)
        if (l.rfind("Subject: ", 0) == 0)
            subject = l;
    EXPECT_EQ(subject,
              "Subject: =?ISO-8859-1?B?" +
                  mail::RemoveChar(
                      mail::RemoveChar(mail::EncodeBase64(std::string(100, 's')), '\r'), '\n') +
                  "?=");
    EXPECT_EQ(lines->back(), "LmRvdA0KZW5kDQo=");  // ".dot\r\nend\r\n", the dot untouched
    EXPECT_EQ(message.Subject, std::string(100, 's')) << "the message keeps its subject";
}

TEST_F(SmtpTest, LineBreaksInValuesCannotAddHeadersOrEndTheData) {
    message.Subject = "hi\r\nBcc: victim@x.org";
    message.SendTo = "you@there.org\r\nX-Evil: 1";
    message.ExtraHeaders = {"X-A: 1\nX-B: 2"};
    message.Text = {"line\r\n.\r\nMAIL FROM:<x>"};
    auto lines = smtp.BuildMessage(message);
    ASSERT_TRUE(lines.has_value());
    for (const auto& l : *lines) {
        EXPECT_EQ(l.find_first_of("\r\n"), std::string::npos) << l;
        EXPECT_NE(l.rfind("Bcc:", 0), 0u) << l;
        EXPECT_NE(l.rfind("X-Evil", 0), 0u) << l;
    }
    EXPECT_EQ(lines->back(), "MAIL FROM:<x>");
    EXPECT_EQ((*lines)[lines->size() - 2], "..") << "the lone dot is stuffed";
}

// Every line of the DATA is stuffed, header lines too, so none of them ends the message early.
TEST_F(SmtpTest, DotStuffingCoversEveryLine) {
    message.ExtraHeaders = {".", ".X-Odd: 1"};
    message.Text = {".", "..two"};
    for (const auto encoding : {mail::TTextEncoding::te8Bit, mail::TTextEncoding::teBase64}) {
        message.TextEncoding = encoding;
        auto lines = smtp.BuildMessage(message);
        ASSERT_TRUE(lines.has_value());
        for (const auto& l : *lines)
            EXPECT_NE(l, ".");
        EXPECT_NE(std::find(lines->begin(), lines->end(), ".."), lines->end());
        EXPECT_NE(std::find(lines->begin(), lines->end(), "..X-Odd: 1"), lines->end());
    }
    message.TextEncoding = mail::TTextEncoding::te8Bit;
    auto lines = smtp.BuildMessage(message);
    EXPECT_EQ(lines->back(), "...two");
}

// The display name is an RFC 5322 quoted-string, attachment names are quoted or, when not
// printable ASCII, written in the RFC 2231 form.
TEST_F(SmtpTest, NamesAreQuotedAndEscaped) {
    message.UserName = "Jo \"The Boss\" \\ Doe";
    const std::string path = ::testing::TempDir() + "vorla_smtp_names.bin";
    { std::ofstream(path, std::ios::binary) << "x"; }
    message.AttachedFiles.AddFile(path).FileName = "caf\xe9 \"1\".txt";
    message.AttachedFiles.AddFile(path).FileName = "say \"hi\".txt";
    auto lines = smtp.BuildMessage(message);
    std::remove(path.c_str());
    ASSERT_TRUE(lines.has_value());
    auto has = [&](const std::string& line) {
        return std::find(lines->begin(), lines->end(), line) != lines->end();
    };
    EXPECT_TRUE(has("From: \"Jo \\\"The Boss\\\" \\\\ Doe\" <me@here.org>"));
    EXPECT_TRUE(
        has("Content-Type: application/octet-stream; name*=ISO-8859-1''caf%E9%20%221%22.txt"));
    EXPECT_TRUE(has("Content-Disposition: inline; FileName*=ISO-8859-1''caf%E9%20%221%22.txt"));
    EXPECT_TRUE(has("Content-Disposition: inline; FileName=\"say \\\"hi\\\".txt\""));
}

TEST_F(SmtpTest, AttachmentsMakeAMultipartBody) {
    const std::string path = ::testing::TempDir() + "vorla_smtp_att.bin";
    {
        std::ofstream out(path, std::ios::binary);
        out << std::string(2000, 'z');
    }
    const std::string emptyPath = ::testing::TempDir() + "vorla_smtp_empty.txt";
    { std::ofstream out(emptyPath, std::ios::binary); }
    message.AttachedFiles.AddFile(path);
    message.AttachedFiles.AddFile(emptyPath);
    std::vector<std::uint16_t> encodeProgress;
    smtp.OnEncodeProgress = [&](mail::TObject*, std::uint16_t p) { encodeProgress.push_back(p); };
    auto lines = smtp.BuildMessage(message);
    std::remove(path.c_str());
    std::remove(emptyPath.c_str());
    ASSERT_TRUE(lines.has_value());
    std::string typeLine;
    for (const auto& l : *lines)
        if (l.rfind("Content-Type: multipart/mixed; boundary=\"", 0) == 0)
            typeLine = l;
    ASSERT_FALSE(typeLine.empty());
    const std::string boundary = typeLine.substr(41, typeLine.size() - 42);
    EXPECT_EQ(boundary.rfind("--_QEL_bound_", 0), 0u);
    const std::string delimiter = "--" + boundary;
    auto blank = std::find(lines->begin(), lines->end(), "");
    ASSERT_NE(blank, lines->end());
    const StringList body(blank + 1, lines->end());
    ASSERT_GE(body.size(), 10u);
    EXPECT_EQ(body[0], delimiter);
    EXPECT_EQ(body[1], "Content-Type: Text/Plain; charset=ISO-8859-1");
    EXPECT_EQ(body[2], "Content-Transfer-Encoding: 8Bit");
    EXPECT_EQ(body[3], "");
    EXPECT_EQ(body[4], "hello");
    EXPECT_EQ(body[5], delimiter);
    EXPECT_EQ(body[6], "Content-Type: application/octet-stream; name=\"vorla_smtp_att.bin\"");
    EXPECT_EQ(body[7], "Content-Transfer-Encoding: base64");
    EXPECT_EQ(body[8], "Content-Disposition: inline; FileName=\"vorla_smtp_att.bin\"");
    EXPECT_EQ(body[9], "");
    std::string encoded;
    std::size_t i = 10;
    for (; i < body.size() && body[i] != delimiter; ++i)
        encoded += body[i];
    EXPECT_EQ(mail::DecodeBase64(encoded), std::string(2000, 'z'));
    ASSERT_EQ(body.size(), i + 8)
        << "empty attachment: its headers and blank line, then the closing";
    EXPECT_EQ(body[i + 4], "");
    EXPECT_EQ(body[i + 5], "");
    EXPECT_EQ(body[i + 6], delimiter + "--");
    EXPECT_EQ(body[i + 7], "");
    // 1024 of 2000 bytes is 51 %, then 100 %; the empty file reports 100 once.
    EXPECT_EQ(encodeProgress, (std::vector<std::uint16_t>{51, 100, 100}));
}

TEST_F(SmtpTest, UnreadableAttachmentRaisesAStreamError) {
    struct Row {
        const char* name;
        std::string path;
    } rows[] = {
        {"missing file", ::testing::TempDir() + "vorla_smtp_no_such_file.bin"},
        {"a folder", ::testing::TempDir()},
    };
    for (const Row& r : rows) {
        mail::TQelMsg m;
        m.From = message.From;
        m.SendTo = message.SendTo;
        m.AttachedFiles.AddFile(r.path);
        EXPECT_THROW(smtp.BuildMessage(m), platform::StreamError) << r.name;
    }
}

TEST_F(SmtpTest, RefusedRecipientStopsAndSkipsTheOtherLists) {
    message.CC = "c@x.org";
    message.BCC = "b@x.org";
    Greeted();
    script.Client("MAIL FROM:<me@here.org>\r\n")
        .Server("250 ok\r\n")
        .Client("RCPT TO:<you@there.org>\r\n")
        .Server("550 5.1.1 no such user\r\n");
    EXPECT_FALSE(smtp.SendMessage(message));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, 550);
    EXPECT_EQ(errors[0].msg, "5.1.1 no such user");
    EXPECT_FALSE(smtp.Connected);
    EXPECT_EQ(afterSend, 0) << "a failed send is not reported as sent";
    smtp.Quit();
    script.ExpectDone();
}

TEST_F(SmtpTest, PeerClosingWhileTheReaderWaitsStopsAndReports) {
    Greeted();
    script.Client("MAIL FROM:<me@here.org>\r\n").Close();
    const int pumpsBefore = pump.calls;
    EXPECT_FALSE(smtp.SendMessage(message));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, TQelSMTP::kErrClosed);
    EXPECT_EQ(errors[0].msg, "Connection closed by the server.");
    EXPECT_LT(pump.calls - pumpsBefore, 10) << "no busy reading of a closed connection";
}

// A server that gives up in the middle of the DATA says why and closes; the send that meets the
// reset reports the server's reply, not the reset.
TEST_F(SmtpTest, ReplyWaitingBehindAFailedSendIsTheReportedFailure) {
    Greeted();
    script.Client("MAIL FROM:<me@here.org>\r\n")
        .Server("250 ok\r\n")
        .Client("RCPT TO:<you@there.org>\r\n")
        .Server("250 ok\r\n")
        .Client("DATA\r\n")
        .Server("354 go\r\n")
        .Reset()
        .Server("421-4.4.2 mx.there.org\r\n421 4.4.2 Timeout, closing\r\n")
        .Close();
    EXPECT_FALSE(smtp.SendMessage(message));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, 421);
    EXPECT_EQ(errors[0].msg, "4.4.2 Timeout, closing");
    EXPECT_FALSE(smtp.Connected);
    EXPECT_EQ(afterSend, 0);
}

TEST_F(SmtpTest, SilentServerTimesOut) {
    smtp.TimeOut = 400;
    script.Silent();
    EXPECT_THROW(smtp.Connect(), mail::SocketError);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, 110);
    EXPECT_FALSE(smtp.Connected);
}

TEST_F(SmtpTest, RefusedConnectIsReported) {
    script.refuseConnect = ECONNREFUSED;
    smtp.Connect();
    EXPECT_TRUE(smtp.Failed);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, ECONNREFUSED);
    EXPECT_EQ(errors[0].msg,
              "Erreur socket Windows : Connection refused (111), avec l'API 'connect'");
}

TEST_F(SmtpTest, BadGreetingRunsTheFailurePath) {
    script.Server("554 go away\r\n");
    smtp.Connect();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error, 554);
    EXPECT_FALSE(smtp.Connected);
    script.ExpectDone();
}

TEST_F(SmtpTest, AbortWhileSendingEndsTheTransactionAndQuitSendsNothing) {
    message.Text = {"a", "b", "c", "d"};
    Greeted();
    script.Client("MAIL FROM:<me@here.org>\r\n")
        .Server("250 ok\r\n")
        .Client("RCPT TO:<you@there.org>\r\n")
        .Server("250 ok\r\n")
        .Client("DATA\r\n")
        .Server("354 go\r\n");
    int dataLines = -1;
    smtp.OnSendTextToSocket = [&](mail::TObject*, const std::string& s) {
        if (s == "DATA\r\n")
            dataLines = 0;
        else if (dataLines >= 0 && ++dataLines == 3)
            smtp.AbortRequested = true;
    };
    EXPECT_FALSE(smtp.SendMessage(message));
    EXPECT_EQ(afterSend, 0);
    smtp.Quit();
    EXPECT_EQ(script.allSent.find("QUIT"), std::string::npos);
    EXPECT_EQ(script.allSent.find("\r\n.\r\n"), std::string::npos);
}

TEST_F(SmtpTest, MissingOrUnsafeFieldsRaiseBeforeAnythingIsSent) {
    Greeted();
    struct Row {
        const char* name;
        std::string from, to, text;
    } rows[] = {
        {"no sender", "", "a@b", "\"From\" field not specified."},
        {"no recipient", "a@b", "", "\"SendTo\" field not specified."},
        {"blank sender", "  ", "a@b", "\"From\" field not specified."},
        {"recipients naming no address", "a@b", " , \"Bob\" ", "\"SendTo\" field not specified."},
        {"sender carrying a parameter", "a@b> SIZE=1", "c@d",
         "\"a@b> SIZE=1\" is not a valid address."},
        {"recipient carrying a parameter", "a@b", "c@d, x@y> NOTIFY=SUCCESS",
         "\"x@y> notify=success\" is not a valid address."},
    };
    for (const Row& r : rows) {
        mail::TQelMsg m;
        m.From = r.from;
        m.SendTo = r.to;
        try {
            smtp.SendMessage(m);
            ADD_FAILURE() << r.name;
        } catch (const mail::MailError& e) {
            EXPECT_EQ(e.what(), r.text) << r.name;
        }
    }
    script.ExpectDone();
    TQelSMTP idle(factory, pump, clock);
    try {
        idle.SendMessage(message);
        ADD_FAILURE() << "no exception";
    } catch (const mail::MailError& e) {
        EXPECT_STREQ(e.what(), "Not connected.");
    }
}

TEST(ProgressStepper, LargeJumpThenEveryUnitReports) {
    mail::TProgressStepper stepper;
    std::vector<std::uint16_t> reports;
    auto report = [&](std::uint16_t p) { reports.push_back(p); };
    stepper.Start(10);
    for (std::uint16_t p : {5, 47, 48, 49, 50, 51})
        stepper.Update(p, report);
    EXPECT_EQ(reports, (std::vector<std::uint16_t>{47, 48, 49, 50, 51}));
    EXPECT_EQ(stepper.NextThreshold(), 60u);
    stepper.Finish(report);
    EXPECT_EQ(reports.back(), 100);
}

TEST(ProgressStepper, PercentRoundsTiesToEvenAndDoesNotOverflow) {
    EXPECT_EQ(mail::PercentOf(1, 8), 12);  // 12.5
    EXPECT_EQ(mail::PercentOf(3, 8), 38);  // 37.5
    EXPECT_EQ(mail::PercentOf(0, 0), 0);
    const std::int64_t big = 30LL * 1024 * 1024;  // past where done x 100 fits 32 bits
    EXPECT_EQ(mail::PercentOf(big, big), 100);
    EXPECT_EQ(mail::PercentOf(big, 1), 65535);
}

}  // namespace
