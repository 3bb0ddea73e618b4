#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "Files.h"
#include "ScopedEnv.h"
#include "ScopedFileSizeLimit.h"
#include "TempFolder.h"
#include "mail/MailError.h"
#include "mail/MimeParser.h"
#include "mail/MsgJson.h"
#include "mail/QelMIME.h"
#include "mail/QelMsg.h"

namespace {

using mail::StringList;
using mail::TextLines;
using mail::TQelMsg;

std::unique_ptr<TQelMsg> Parse(const std::string& raw) {
    auto message = std::make_unique<TQelMsg>();
    message->RawMail = mail::SplitLines(raw);
    message->ParseMessage();
    return message;
}

using testsupport::ReadFile;

constexpr const char* kUUBlock =
    "begin 644 a.txt\r\n"
    "M2&5L;&\\@=75E;F-O9&5D('=O<FQD(0I(96QL;R!U=65N8V]D960@=V]R;&0A\r\n"
    "8\"DAE;&QO('5U96YC;V1E9\"!W;W)L9\"$*\r\n"
    "`\r\n";
const std::string kUUData = [] {
    std::string data;
    for (int i = 0; i < 3; ++i)
        data += "Hello uuencoded world!\n";
    return data;
}();

TEST(ParseMessage, NoContentTypeIsPlainText) {
    auto m = Parse("From: a@b.c\r\nSubject: hi\r\n\r\n\r\n  \r\nline 1\r\n\r\nline 3\r\n");
    EXPECT_EQ(m->ContentType, "TEXT/PLAIN");
    EXPECT_EQ(m->ContentTransferEncoding, "7BIT");
    EXPECT_EQ(m->Text, (TextLines{"line 1", "", "line 3"}));
    EXPECT_EQ(m->Headers, (TextLines{"From: a@b.c", "Subject: hi"}));
    EXPECT_TRUE(m->RawMail.empty());
    EXPECT_EQ(m->AttachedFiles.Count(), 0u);
}

TEST(ParseMessage, HeaderFields) {
    auto m = Parse(
        "From: \"Jo Doe\" <jo@x.org>\r\n"
        "Sender: Helper <h@x.org>\r\n"
        "Reply-To: r@x.org\r\n"
        "To: \"Ann\" <ann@y.org>, bob@z.org (Bob)\r\n"
        "Cc: Carl <c@y.org>\r\n"
        "Message-ID: <id1@x.org>\r\n"
        "In-Reply-To: <id0@x.org>\r\n"
        "Return-Path: <bounce@x.org>\r\n"
        "Date: Sun, 6 Dec 2026 23:41:05 +0100\r\n"
        "Subject: first =?iso-8859-1?Q?caf=E9?=\r\n"
        "  and second; not this\r\n"
        "Content-Type: text/plain; charset=us-ascii\r\n"
        "Content-Transfer-Encoding: 8bit\r\n"
        "\r\nbody\r\n");
    EXPECT_EQ(m->From, "jo@x.org");
    EXPECT_EQ(m->FromName, "\"Jo Doe\" ");
    EXPECT_EQ(m->Sender, "\"Helper\" <h@x.org>");
    EXPECT_EQ(m->ReplyTo, "\"r@x.org\" <r@x.org>");
    EXPECT_EQ(m->SendTo, "\"\" <ann@y.org>, \"Bob\" <bob@z.org>");
    EXPECT_EQ(m->CC, "\"Carl\" <c@y.org>");
    EXPECT_EQ(m->MessageId, "<id1@x.org>");
    EXPECT_EQ(m->InReplyTo, "<id0@x.org>");
    EXPECT_EQ(m->ReturnPath, "<bounce@x.org>");
    EXPECT_EQ(m->Date, "Sun, 6 Dec 2026 23:41:05 +0100");
    EXPECT_EQ(m->Subject, "first caf\xe9  and second; not this");
    EXPECT_EQ(m->ContentType, "TEXT/PLAIN");
    EXPECT_EQ(m->ContentTransferEncoding, "8BIT");
    EXPECT_EQ(m->Headers.size(), 13u);
}

// Header fields as real senders write them: a ";" in unstructured text, folded lines,
// adjacent encoded words and an address followed by a comment.
TEST(ParseMessage, HeaderFieldsOfRealMail) {
    const struct {
        const char* name;
        std::string header;
        std::string TQelMsg::*field;
        std::string expected;
    } rows[] = {
        {"subject_keeps_semicolon", "Subject: Re: agenda; budget", &TQelMsg::Subject,
         "Re: agenda; budget"},
        {"folded_subject_keeps_tab", "Subject: folded\r\n\twith a tab", &TQelMsg::Subject,
         "folded\twith a tab"},
        {"adjacent_words_folded", "Subject: =?UTF-8?Q?caf=C3=A9?=\r\n =?UTF-8?Q?_cr=C3=A8me?=",
         &TQelMsg::Subject, "caf\xc3\xa9 cr\xc3\xa8me"},
        {"word_then_plain_text", "Subject: =?UTF-8?Q?=E2=9C=94?= (1476)", &TQelMsg::Subject,
         "\xe2\x9c\x94 (1476)"},
        {"from_comment_is_no_address", "From: bbb@ddd.com (John X. Doe)", &TQelMsg::From,
         "bbb@ddd.com"},
        {"from_comment_is_the_name", "From: bbb@ddd.com (John X. Doe)", &TQelMsg::FromName,
         "John X. Doe"},
        {"from_name_keeps_semicolon", "From: \"Doe; John\" <j@x.org>", &TQelMsg::FromName,
         "\"Doe; John\" "},
        {"from_address_after_semicolon_name", "From: \"Doe; John\" <j@x.org>", &TQelMsg::From,
         "j@x.org"},
        {"to_name_keeps_semicolon", "To: Doe; John <j@x.org>", &TQelMsg::SendTo,
         "\"Doe; John\" <j@x.org>"},
    };
    for (const auto& row : rows) {
        auto m = Parse(row.header + "\r\n\r\nbody\r\n");
        EXPECT_EQ((*m).*row.field, row.expected) << row.name;
    }
}

// RFC 2231 parameters: continuations, the charset'language'%XX form and mixes of both, for
// every parameter; the decoded name then passes the safe-name rule.
TEST(ParseMessage, Rfc2231Parameters) {
    const struct {
        const char* name;
        std::string params;
        std::string fileName;
    } rows[] = {
        {"encoded_continuations",
         "filename*0*=UTF-8''na%C3%AFve%20long%20; filename*1*=name%E2%9C%93.bin",
         "na\xc3\xafve long name\xe2\x9c\x93.bin"},
        {"mixed_sections", "filename*0*=us-ascii'en'This%20is%20; filename*1=\"even more.txt\"",
         "This is even more.txt"},
        {"sections_out_of_order", "filename*1=\"rt.pdf\"; filename*0=\"repo\"", "report.pdf"},
        {"single_encoded", "filename*=iso-8859-1'fr'caf%E9.txt", "caf\xe9.txt"},
        {"extended_beats_plain", "filename=\"plain.txt\"; filename*=UTF-8''fancy.txt", "fancy.txt"},
        {"quoted_semicolon", "filename=\"a;b.txt\"", "a;b.txt"},
        {"folded_continuation", "\r\n filename*0=\"part\";\r\n filename*1=\"s.zip\"", "parts.zip"},
        {"decoded_path_is_made_safe", "filename*=UTF-8''%2E%2E", "attachment1"},
    };
    for (const auto& row : rows) {
        auto m = Parse(
            "Content-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\n"
            "Content-Type: application/octet-stream\r\nContent-Disposition: attachment; " +
            row.params + "\r\nContent-Transfer-Encoding: base64\r\n\r\nAAEC\r\n--B--\r\n");
        ASSERT_EQ(m->AttachedFiles.Count(), 1u) << row.name;
        EXPECT_EQ(m->AttachedFiles.Items(0).FileName, row.fileName) << row.name;
    }
    auto m = Parse(
        "Content-Type: multipart/mixed; boundary*0=\"sep\"; boundary*1=\"arator\"\r\n\r\n"
        "--separator\r\nContent-Type: text/plain; charset*0=iso-8859; charset*1=-2\r\n\r\n"
        "one\r\n--separator--\r\n");
    EXPECT_EQ(m->Text, (TextLines{"one"})) << "boundary in sections";
    ASSERT_EQ(m->TextCharsets.size(), 1u);
    EXPECT_EQ(m->TextCharsets[0].CharSet, "iso-8859-2") << "charset in sections";
}

// RFC 2183 dispositions: what is a file to save and what is text to show.
TEST(ParseMessage, DispositionsDecideWhatIsAFile) {
    const struct {
        const char* name;
        std::string part;
        StringList files;
        TextLines text;
    } rows[] = {
        {"text_attachment_is_a_file",
         "Content-Type: text/plain\r\nContent-Disposition: attachment; filename=\"notes.txt\"\r\n"
         "\r\nnote line\r\n",
         {"notes.txt"},
         {"body"}},
        {"inline_text_with_a_name_is_text",
         "Content-Type: text/plain\r\nContent-Disposition: inline; filename=\"notes.txt\"\r\n"
         "\r\nnote line\r\n",
         {},
         {"body", "note line"}},
        {"disposition_filename_beats_type_name",
         "Content-Type: application/pdf; name=\"type.pdf\"\r\nContent-Disposition: attachment; "
         "filename=\"disposition.pdf\"\r\nContent-Transfer-Encoding: base64\r\n\r\nAAEC\r\n",
         {"disposition.pdf"},
         {"body"}},
        {"external_body_is_no_file",
         "Content-Type: message/external-body; access-type=anon-ftp; name=\"big.tar\";\r\n"
         " site=\"ftp.example.org\"\r\n\r\nContent-Type: application/x-tar\r\n",
         {},
         {"body", "Content-Type: application/x-tar"}},
        {"unnamed_octet_stream_is_a_file",
         "Content-Type: application/octet-stream\r\n\r\nraw bytes\r\n",
         {"attachment1"},
         {"body"}},
        {"delivery_status_stays_text",
         "Content-Type: message/delivery-status\r\n\r\nAction: failed\r\n",
         {},
         {"body", "Action: failed"}},
    };
    for (const auto& row : rows) {
        auto m = Parse(
            "Content-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\nContent-Type: text/plain\r\n"
            "\r\nbody\r\n--B\r\n" +
            row.part + "--B--\r\n");
        StringList files;
        for (std::size_t i = 0; i < m->AttachedFiles.Count(); ++i)
            files.push_back(m->AttachedFiles.Items(i).FileName);
        EXPECT_EQ(files, row.files) << row.name;
        EXPECT_EQ(m->Text, row.text) << row.name;
    }
    auto notes = Parse("Content-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\n" +
                       std::string(rows[0].part) + "--B--\r\n");
    ASSERT_EQ(notes->AttachedFiles.Count(), 1u);
    EXPECT_EQ(notes->AttachedFiles.Items(0).Data.Bytes(), "note line");
}

TEST(ParseMessage, EnvelopeLineGivesFromUntilAFromHeader) {
    auto envelope = Parse("From jo@x.org  Sun Dec  6 23:41:05 2026\r\nSubject: s\r\n\r\nb\r\n");
    EXPECT_EQ(envelope->From, "jo@x.org");
    auto plain = Parse("From: plain@x.org\r\n\r\nb\r\n");
    EXPECT_EQ(plain->From, "plain@x.org");
    EXPECT_EQ(plain->FromName, "");
}

TEST(ParseMessage, FirstLineEmptyMeansNoHeaders) {
    auto m = Parse("\r\nFrom: a@b.c\r\n\r\nbody\r\n");
    EXPECT_TRUE(m->Headers.empty());
    EXPECT_EQ(m->From, "");
}

TEST(ParseMessage, EmptyRawMailDoesNothing) {
    TQelMsg m;
    m.ParseMessage();
    EXPECT_TRUE(m.Text.empty());
    EXPECT_TRUE(m.Headers.empty());
}

TEST(ParseMessage, KeepsRawMailWhenAsked) {
    TQelMsg m;
    m.ClearRawMailAfterParse = false;
    m.RawMail = {"Subject: x", "", "b"};
    m.ParseMessage();
    EXPECT_EQ(m.RawMail, (StringList{"Subject: x", "", "b"}));
    EXPECT_EQ(m.Text, (TextLines{"b"}));
}

TEST(ParseMessage, AlternativeGivesBothBodiesAndNoAttachment) {
    auto m = Parse(
        "Content-Type: multipart/alternative; boundary=\"b1\"\r\n\r\n"
        "preamble\r\n--b1\r\nContent-Type: text/plain\r\n\r\nplain body\r\n"
        "--b1\r\nContent-Type: text/html\r\n\r\n<p>html body</p>\r\n--b1--\r\nepilogue\r\n");
    EXPECT_EQ(m->Text, (TextLines{"plain body", "<p>html body</p>"}));
    EXPECT_EQ(m->AttachedFiles.Count(), 0u);
    EXPECT_EQ(m->ContentType, "MULTIPART/ALTERNATIVE");
}

TEST(ParseMessage, NestedMultipartsWithAttachments) {
    auto m = Parse(
        "Content-Type: multipart/mixed; boundary=outer\r\n\r\n"
        "--outer\r\nContent-Type: multipart/alternative; boundary=\"inner\"\r\n\r\n"
        "--inner\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
        "caf=E9 soft=\r\nbreak\r\n"
        "--inner\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: base64\r\n\r\n"
        "bGluZSBvbmUNCmxpbmUgdHdvDQo=\r\n--inner--\r\n"
        "--outer\r\nContent-Type: application/pdf\r\nContent-Disposition: attachment; "
        "filename=\"re:po?rt.pdf\"\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\naGVs\r\nbG8=\r\n"
        "--outer\r\nContent-Type: application/octet-stream\r\nContent-Transfer-Encoding: "
        "base64\r\n\r\nAAEC\r\n"
        "--outer\r\nContent-Type: text/csv; name=\"q.csv\"\r\nContent-Transfer-Encoding: "
        "quoted-printable\r\n\r\n"
        "a=3Db\r\nc\r\n--outer\r\n");
    EXPECT_EQ(m->Text, (TextLines{"caf\xe9 softbreak", "line one", "line two", "a=b", "c"}));
    ASSERT_EQ(m->AttachedFiles.Count(), 2u);
    EXPECT_EQ(m->AttachedFiles.Items(0).FileName, "report.pdf");
    EXPECT_EQ(m->AttachedFiles.Items(0).Data.Bytes(), "hello");
    EXPECT_EQ(m->AttachedFiles.Items(0).ContentType, "application/pdf");
    EXPECT_TRUE(m->AttachedFiles.Items(0).EncodedLines.empty());
    EXPECT_EQ(m->AttachedFiles.Items(1).FileName, "attachment2");
    EXPECT_EQ(m->AttachedFiles.Items(1).Data.Bytes(), std::string("\0\1\2", 3));
}

TEST(ParseMessage, NamedQuotedPrintablePartIsAnAttachmentWithoutFinalBreak) {
    auto m = Parse(
        "Content-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\n"
        "Content-Type: application/x-data; name=\"=?iso-8859-1?Q?n=E9.dat?=\"\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n\r\na=3Db=\r\nc\r\nd\r\n--B--\r\n");
    ASSERT_EQ(m->AttachedFiles.Count(), 1u);
    EXPECT_EQ(m->AttachedFiles.Items(0).FileName, "n\xe9.dat");
    EXPECT_EQ(m->AttachedFiles.Items(0).Data.Bytes(), "a=bc\r\nd");
    EXPECT_TRUE(m->Text.empty());
}

TEST(ParseMessage, EmbeddedMessageFeedsTextNotFields) {
    auto m = Parse(
        "Subject: outer\r\nContent-Type: multipart/mixed; boundary=B\r\n\r\n"
        "--B\r\nContent-Type: text/plain\r\n\r\nsee below\r\n"
        "--B\r\nContent-Type: message/rfc822\r\n\r\nSubject: inner\r\nFrom: in@x\r\n\r\ninner "
        "body\r\n--B--\r\n");
    EXPECT_EQ(m->Subject, "outer");
    EXPECT_EQ(m->From, "") << "only an envelope line or a From header names the sender";
    EXPECT_EQ(m->Text, (TextLines{"see below", "inner body"}));
}

TEST(ParseMessage, BoundaryAsLastLineEndsTheWalk) {
    auto m =
        Parse("Content-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\n\r\nlast part\r\n--B\r\n");
    EXPECT_EQ(m->Text, (TextLines{"last part"}));
}

TEST(ParseMessage, MultipartWithoutItsBoundaryLineYieldsNoContent) {
    auto m = Parse(
        "Content-Type: multipart/mixed; boundary=B\r\n\r\nno boundary here\r\n--C\r\ntext\r\n");
    EXPECT_TRUE(m->Text.empty());
    EXPECT_EQ(m->AttachedFiles.Count(), 0u);
}

// Only a text/... part is text: a part whose type merely holds the word is an attachment.
TEST(ParseMessage, OnlyTheTextMediaTypeIsText) {
    auto m = Parse(
        "Content-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\nContent-Type: text/plain\r\n\r\n"
        "see attached\r\n--B\r\nContent-Type: application/vnd.oasis.opendocument.text; "
        "name=\"report.odt\"\r\nContent-Transfer-Encoding: base64\r\n\r\nUEsDBA==\r\n--B--\r\n");
    EXPECT_EQ(m->Text, (TextLines{"see attached"}));
    ASSERT_EQ(m->AttachedFiles.Count(), 1u);
    EXPECT_EQ(m->AttachedFiles.Items(0).FileName, "report.odt");
    EXPECT_EQ(m->AttachedFiles.Items(0).Data.Bytes(), "PK\3\4");
}

// RFC 2046 allows blanks after a boundary; such a line still delimits the parts.
TEST(ParseMessage, BoundaryLinesMayEndInBlanks) {
    auto m = Parse(
        "Content-Type: multipart/mixed; boundary=B\r\n\r\npreamble\r\n--B \t\r\n"
        "Content-Type: text/plain\r\n\r\nfirst\r\n--B  \r\n\r\nsecond\r\n--B-- \r\nepilogue\r\n");
    EXPECT_EQ(m->Text, (TextLines{"first", "second"}));
}

TEST(ParseMessage, DecodedWordsBringNoControlCharacters) {
    auto m = Parse(
        "From: =?utf-8?Q?Eve=0D=0ABcc:_x?= <eve@x.org>\r\n"
        "Subject: =?utf-8?B?aGkNCgAbWzJK?= end\r\n"
        "Content-Type: application/octet-stream; name=\"=?utf-8?Q?a=1Bb=00.bin?=\"\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\nAAEC\r\n");
    EXPECT_EQ(m->FromName, "Eve  Bcc: x ");
    EXPECT_EQ(m->Subject, "hi    [2J end");
    ASSERT_EQ(m->AttachedFiles.Count(), 1u);
    EXPECT_EQ(m->AttachedFiles.Items(0).FileName, "a b .bin");
}

// A received name is saved under the folder the user chose: only a plain file name comes out.
TEST(ParseMessage, AttachmentNameIsAPlainFileNameOrASafeOne) {
    const struct {
        std::string name, fileName;
    } rows[] = {
        {"report.pdf", "report.pdf"},
        {"C:\\docs\\plan.doc", "Cdocsplan.doc"},
        {"..", "attachment1"},
        {"../../.profile", "attachment1.profile"},
        {"-rf.txt", "attachment1.txt"},
        {std::string("a\0b.txt", 7), "attachment1.txt"},
        {"a\x1b[2Jx.sh", "attachment1.sh"},
        {std::string(300, 'x') + ".pdf", "attachment1.pdf"},
        {"   ", "attachment1"},
    };
    for (const auto& row : rows) {
        auto m = Parse("Content-Type: application/octet-stream; name=\"" + row.name +
                       "\"\r\nContent-Transfer-Encoding: base64\r\n\r\nAAEC\r\n");
        ASSERT_EQ(m->AttachedFiles.Count(), 1u) << row.name;
        EXPECT_EQ(m->AttachedFiles.Items(0).FileName, row.fileName) << row.name;
    }
}

TEST(ParseMessage, UuencodedBlockInTextBecomesAnAttachment) {
    auto m = Parse(std::string("Subject: uu\r\n\r\nbefore\r\n") + kUUBlock + "end\r\nafter\r\n");
    ASSERT_EQ(m->AttachedFiles.Count(), 1u);
    EXPECT_EQ(m->AttachedFiles.Items(0).FileName, "a.txt");
    EXPECT_EQ(m->AttachedFiles.Items(0).Data.Bytes(), kUUData);
    EXPECT_EQ(m->Text, (TextLines{"before", "end", "after"}));
}

TEST(ParseMessage, UuencodedBlockWithoutEndTakesTheRest) {
    auto m = Parse(std::string("Subject: uu\r\n\r\nbefore\r\n") + kUUBlock + "\r\n");
    ASSERT_EQ(m->AttachedFiles.Count(), 1u);
    EXPECT_EQ(m->AttachedFiles.Items(0).Data.Bytes(), kUUData);
    EXPECT_EQ(m->Text, (TextLines{"before"}));
}

TEST(ParseMessage, UuencodeBeginLineRules) {
    auto mode777 = Parse("Subject: uu\r\n\r\nbegin 777 x.bin\r\n`\r\nend\r\n");
    EXPECT_EQ(mode777->AttachedFiles.Count(), 0u);
    auto twoBlocks =
        Parse("S: x\r\n\r\nBEGIN 600 one\r\n`\r\nend\r\nbegin 001 two\r\n`\r\nEND\r\n");
    ASSERT_EQ(twoBlocks->AttachedFiles.Count(), 2u);
    EXPECT_EQ(twoBlocks->AttachedFiles.Items(0).FileName, "one");
    EXPECT_EQ(twoBlocks->AttachedFiles.Items(1).FileName, "two");
    EXPECT_EQ(twoBlocks->Text, (TextLines{"end", "END"}));
}

// Text that merely looks like a begin line, or a block that does not decode, stays in the text
// as the lines it was; the message stays readable.
TEST(ParseMessage, UuencodeBlockThatDoesNotDecodeStaysText) {
    const StringList rows[] = {
        {"Begin 100 days of code on Monday.", "We meet at nine.", "Bring a laptop."},
        {"BEGIN 100 DAYS OF CODE ON MONDAY.", "WE MEET AT NINE.", "END"},
        {"begin 644 bad.bin", "Mabc", "end"},
        {"begin 644 short.bin", "M", "`", "end"},
        {"text", "begin 644 last-line.bin"},
        {"begin 644 x", "", "begin 644 y", "8\"DAE;&QO('5U96YC;V1E9\"!W;W)L9\"$*", "oops", "end"},
    };
    for (const StringList& body : rows) {
        auto m = Parse("Subject: uu\r\n\r\n" + mail::JoinLines(body));
        EXPECT_EQ(StringList(m->Text.begin(), m->Text.end()), body) << body[0];
        EXPECT_EQ(m->AttachedFiles.Count(), 0u) << body[0];
    }
    auto part = Parse(
        "Content-Type: application/octet-stream; name=x.bin\r\n"
        "Content-Transfer-Encoding: x-uuencode\r\n\r\nbegin 644 x.bin\r\nMabc\r\nend\r\n");
    EXPECT_EQ(part->Text, (TextLines{"begin 644 x.bin", "Mabc", "end"}));
    EXPECT_EQ(part->AttachedFiles.Count(), 0u);
}

TEST(UUDecodeLines, CharacterOutsideItsAlphabetRaisesOops) {
    platform::MemoryStream data;
    try {
        mail::UUDecodeLines({"begin 644 bad.bin", "Mabc"}, data);
        FAIL() << "no exception";
    } catch (const mail::MailError& error) {
        EXPECT_STREQ(error.what(), "Oops...");
    }
}

TEST(ParseMessage, XUuencodePartIsDecoded) {
    auto m =
        Parse(std::string("Content-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\n"
                          "Content-Type: application/octet-stream\r\nContent-Transfer-Encoding: "
                          "x-uuencode\r\n\r\n") +
              kUUBlock + "end\r\n--B--\r\n");
    ASSERT_EQ(m->AttachedFiles.Count(), 1u);
    EXPECT_EQ(m->AttachedFiles.Items(0).Data.Bytes(), kUUData);
}

TEST(ParseMessage, AttachmentDecodingLeavesNoTemporaryFiles) {
    const testsupport::TempFolder folder;
    const testsupport::ScopedEnv tmpdir("TMPDIR", folder.Folder());
    auto m = Parse(std::string("Content-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\n"
                               "Content-Type: image/png; name=p.png\r\nContent-Transfer-Encoding: "
                               "base64\r\n\r\nAAEC\r\n"
                               "--B\r\nContent-Type: text/plain\r\n\r\n") +
                   kUUBlock + "end\r\n--B--\r\n");
    platform::MemoryStream data;
    EXPECT_THROW(mail::UUDecodeLines({"begin 644 bad", "M{{{"}, data), mail::MailError);
    EXPECT_EQ(m->AttachedFiles.Count(), 2u);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(ParseMessage, SaveToFileWritesTheDecodedData) {
    auto m = Parse(
        "Content-Type: application/zip; name=z.zip\r\nContent-Transfer-Encoding: "
        "base64\r\n\r\nUEsDBA==\r\n");
    ASSERT_EQ(m->AttachedFiles.Count(), 1u);
    const testsupport::TempFolder folder;
    m->AttachedFiles.Items(0).SaveToFile(folder.File("z.zip"));
    EXPECT_EQ(folder.Read("z.zip"), "PK\3\4");
}

TEST(ParseMessage, FailedSaveKeepsTheExistingFile) {
    auto m = Parse(
        "Content-Type: application/zip; name=z.zip\r\nContent-Transfer-Encoding: "
        "base64\r\n\r\n" +
        std::string(20000, 'A') + "\r\n");
    const testsupport::TempFolder folder;
    const std::string path = folder.File("z.zip");
    folder.Write("z.zip", "old");
    {
        testsupport::ScopedFileSizeLimit limit(4096);
        EXPECT_THROW(m->AttachedFiles.Items(0).SaveToFile(path), platform::StreamError);
    }
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1)
        << "nothing may be left beside the file";
}

// A message of several megabytes read in place from pages that the parse hands back as it
// goes: every part must have been taken before its pages went, so the result is the one of
// the line-list parse, and the attachment arrives whole.
TEST(ParseRawText, ReleasingReadPagesChangesNothing) {
    std::mt19937 random(77);
    std::string bytes(2 * 1024 * 1024 + 5, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    std::string text;
    for (int i = 0; i < 40000; ++i)
        text += "text line " + std::to_string(i) + " of the first part\r\n";
    const std::string raw =
        "Subject: big\r\nContent-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\n"
        "Content-Type: text/plain\r\n\r\n" +
        text + "--B\r\nContent-Type: application/octet-stream; name=r.bin\r\n" +
        "Content-Transfer-Encoding: base64\r\n\r\n" + mail::EncodeBase64(bytes) +
        "\r\n--B\r\nContent-Type: message/rfc822\r\n\r\nSubject: inner\r\n"
        "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: "
        "quoted-printable\r\n\r\nsoft=\r\nbreak\r\n" +
        kUUBlock + "end\r\n" + text + "--B--\r\n";
    platform::ReleasableBuffer pages;
    pages.Append(raw.data(), raw.size());
    TQelMsg inPlace;
    inPlace.ParseRawText(pages.View(), &pages);
    ASSERT_EQ(inPlace.AttachedFiles.Count(), 2u);
    EXPECT_TRUE(inPlace.AttachedFiles.Items(0).Data.Bytes() == bytes) << "attachment damaged";
    EXPECT_EQ(inPlace.AttachedFiles.Items(1).Data.Bytes(), kUUData);
    EXPECT_EQ(inPlace.Text.size(), 80002u);
    EXPECT_EQ(mail::MessageToJson(inPlace), mail::MessageToJson(*Parse(raw)));
}

TEST(AttachedFiles, AddFileTakesNameAndType) {
    mail::TAttachedFiles files;
    mail::TAttachedFile& item = files.AddFile("/home/u/docs/plan.txt");
    EXPECT_EQ(item.FileName, "plan.txt");
    EXPECT_EQ(item.PathName, "/home/u/docs/plan.txt");
    EXPECT_EQ(files.Count(), 1u);
    EXPECT_EQ(&files.Items(0), &item);
    files.Clear();
    EXPECT_EQ(files.Count(), 0u);
}

TEST(MessageJson, GoldenDump) {
    const std::string folder = std::string(VORLA_TEST_DATA) + "/mail/";
    auto m = Parse(ReadFile(folder + "mixed.eml"));
    std::string expected = ReadFile(folder + "mixed.json");
    while (!expected.empty() && expected.back() == '\n')
        expected.pop_back();
    EXPECT_EQ(mail::MessageToJson(*m), expected);
}

TEST(MessageJson, EscapesAndSizeField) {
    EXPECT_EQ(mail::JsonString(std::string("a\"\\\n\r\t\x01\x7f\x80\xff", 10)),
              "\"a\\\"\\\\\\n\\r\\t\\u0001\\u007f\\u0080\\u00ff\"");
    TQelMsg m;
    const std::string json = mail::MessageToJson(m, 1234);
    EXPECT_NE(json.find("\"size\":1234,"), std::string::npos) << json;
    EXPECT_EQ(mail::MessageToJson(m).find("\"size\""), std::string::npos);
    EXPECT_EQ(mail::Sha256Hex(""),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

}  // namespace
