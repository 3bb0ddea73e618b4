// Hostile and random input through the parser and the decoders: nothing may crash, read out
// of bounds (run under the sanitizer build), hang or throw.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "Files.h"
#include "mail/MailError.h"
#include "mail/MimeParams.h"
#include "mail/MimeParser.h"
#include "mail/QelMIME.h"
#include "mail/QelMsg.h"

namespace {

using mail::StringList;

// Every message parses: a block that does not decode goes back into the text.
void ParseTolerantly(const std::string& raw) {
    mail::TQelMsg message;
    message.RawMail = mail::SplitLines(raw);
    EXPECT_NO_THROW(message.ParseMessage());
}

void DecodeEverything(const std::string& text) {
    mail::DecodeBase64(text);
    mail::DecodeQuotedPrintable(text, true);
    mail::DecodeQuotedPrintable(text, false);
    mail::DecodeHeaderWords(text);
    mail::FormatAddressList(text);
    mail::SplitAddressList(text);
    mail::ExtractBoundary(text);
    mail::SplitMailbox(text);
    std::string value;
    mail::GetMimeParam(text, "filename", value);
    mail::ExtractNumber(text, 2, 0);
    mail::IsIPAddress(text);
}

std::string ReadSample() {
    return testsupport::ReadFile(std::string(VORLA_TEST_DATA) + "/mail/mixed.eml");
}

TEST(Robustness, RandomBytes) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 2000, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        DecodeEverything(bytes);
        ParseTolerantly(bytes);
    }
}

TEST(Robustness, MutatedMessages) {
    static const char* const kTokens[] = {"=?",
                                          "?=",
                                          "?Q?",
                                          "?B?",
                                          "=",
                                          "\r\n",
                                          "\n",
                                          "--==_Part_42",
                                          "--alt--",
                                          "begin 644 x\r\n",
                                          "end\r\n",
                                          "Content-Type: multipart/mixed; boundary=x\r\n",
                                          "Content-Transfer-Encoding: base64\r\n",
                                          "(",
                                          ")",
                                          "<",
                                          ">",
                                          "\"",
                                          "; filename*0*=utf-8''%C3",
                                          "; boundary*1=x",
                                          "Content-Disposition: attachment\r\n",
                                          "\r\n\r\n"};
    const std::string sample = ReadSample();
    ASSERT_FALSE(sample.empty());
    std::mt19937 random(42);
    for (int round = 0; round < 400; ++round) {
        std::string text = sample;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = random() % text.size();
            switch (random() % 4) {
                case 0:
                    text[at] = static_cast<char>(random());
                    break;
                case 1:
                    text.erase(at, random() % 40);
                    break;
                case 2:
                    text.insert(at, kTokens[random() % std::size(kTokens)]);
                    break;
                default:
                    text.insert(at, text.substr(random() % text.size(), random() % 200));
                    break;
            }
        }
        DecodeEverything(text);
        ParseTolerantly(text);
    }
}

TEST(Robustness, DeeplyNestedMultipartsStopAtTheDepthLimit) {
    std::string raw;
    const int depth = 20000;
    for (int i = 0; i < depth; ++i)
        raw += "Content-Type: multipart/mixed; boundary=b" + std::to_string(i) + "\r\n\r\n--b" +
               std::to_string(i) + "\r\n";
    raw += "Content-Type: text/plain\r\n\r\ninnermost\r\n";
    mail::TQelMsg message;
    message.RawMail = mail::SplitLines(raw);
    message.ParseMessage();
    EXPECT_FALSE(message.Text.empty());
    EXPECT_EQ(message.Text.back(), "innermost");
}

TEST(Robustness, DeeplyNestedEmbeddedMessages) {
    std::string raw;
    for (int i = 0; i < 20000; ++i)
        raw += "Content-Type: message/rfc822\r\n\r\n";
    raw += "body\r\n";
    mail::TQelMsg message;
    message.RawMail = mail::SplitLines(raw);
    message.ParseMessage();
    EXPECT_EQ(message.Text.back(), "body");
}

TEST(Robustness, LongRepetitiveHeadersStayLinear) {
    std::string words;
    std::string comments;
    std::string uu;
    for (int i = 0; i < 200000; ++i)
        words += "=?a?Q?x?=";
    for (int i = 0; i < 200000; ++i)
        comments += "(c)";
    for (int i = 0; i < 300; ++i)
        uu += "begin 644 f\r\n`\r\nend\r\n";
    mail::TQelMsg message;
    message.RawMail =
        mail::SplitLines("Subject: " + words + "\r\nTo: a@b" + comments + "\r\n\r\n" + uu);
    message.ParseMessage();
    EXPECT_EQ(message.Subject, std::string(200000, 'x'));
    EXPECT_EQ(message.SendTo, "\"c\" <a@b>");
    EXPECT_EQ(message.AttachedFiles.Count(), 300u);
    EXPECT_EQ(message.Text.size(), 300u);
}

TEST(Robustness, UuencodeLineClaimingMoreThanItHoldsStaysText) {
    mail::TQelMsg message;
    message.RawMail = {"S: x", "", "begin 644 big", "_", "`", "end"};
    message.ParseMessage();
    EXPECT_EQ(message.AttachedFiles.Count(), 0u);
    EXPECT_EQ(message.Text, (mail::TextLines{"begin 644 big", "_", "`", "end"}));
}

// Prose of many begin-like lines, each followed by lines that read as data up to one that
// does not: every block goes back into the text, in time linear in the text.
TEST(Robustness, ManyFalseUuencodeBlocksStayLinear) {
    StringList raw{"S: x", ""};
    for (int i = 0; i < 20000; ++i)
        raw.push_back("BEGIN 644 " + std::string(37, 'A'));
    raw.push_back("the end of it");
    mail::TQelMsg message;
    message.RawMail = raw;
    message.ParseMessage();
    EXPECT_EQ(message.Text.size(), 20001u);
    EXPECT_EQ(message.AttachedFiles.Count(), 0u);
}

}  // namespace
