// The memo shows text as the message declares it; filters still match the bytes.
#include <gtest/gtest.h>

#include "MsgListFixture.h"
#include "mail/QelMIME.h"
#include "msgwindow/Charset.h"
#include "msgwindow/Filters.h"

namespace msgwindow::test {
namespace {

struct CharsetRow {
    const char* charset;
    std::string bytes;
    std::string utf8;
};

// One word with letters outside ASCII in each charset, and its UTF-8 form.
const CharsetRow kRows[] = {
    {"utf-8", "gr\xc3\xbc\xc3\x9f", "gr\xc3\xbc\xc3\x9f"},
    {"ISO-8859-1", "gr\xfc\xdf", "gr\xc3\xbc\xc3\x9f"},
    {"iso-8859-2", "\xb3\xf3\xbf\x6b\x6f", "\xc5\x82\xc3\xb3\xc5\xbc\x6b\x6f"},
    {"ISO-8859-15", "\xa4 5", "\xe2\x82\xac 5"},
    {"windows-1250", "\x9a\xe8", "\xc5\xa1\xc4\x8d"},
    {"Windows-1252", "\x80 \x93q\x94", "\xe2\x82\xac \xe2\x80\x9cq\xe2\x80\x9d"},
    {"KOI8-R", "\xf0\xd2\xc9\xd7\xc5\xd4", "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82"},
    // Stateful 7-bit charsets: their bytes are ASCII and still need converting.
    {"ISO-2022-JP", "\x1b$BF|K\\8l\x1b(B", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"},
    {"iso-2022-kr", "\x1b$)C\x0eGQ19>n\x0f", "\xed\x95\x9c\xea\xb5\xad\xec\x96\xb4"},
    {"UTF-7", "+ZeVnLIqe-", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"},
};

TEST(Charset, DeclaredCharsetsConvert) {
    for (const CharsetRow& row : kRows)
        EXPECT_EQ(ToUtf8(row.bytes, row.charset), row.utf8) << row.charset;
}

TEST(Charset, UndeclaredIsUtf8WhenValidElseWindows1252) {
    EXPECT_EQ(UndeclaredToUtf8("caf\xc3\xa9"), "caf\xc3\xa9");
    EXPECT_EQ(UndeclaredToUtf8("caf\xe9 \x80"), "caf\xc3\xa9 \xe2\x82\xac");
    EXPECT_EQ(UndeclaredToUtf8("\xc0\xaf"), "\xc3\x80\xc2\xaf") << "overlong is not UTF-8";
    EXPECT_EQ(ToUtf8("caf\xe9", "x-unknown-charset"), "caf\xc3\xa9");
    EXPECT_EQ(ToUtf8("caf\xe9", "utf-8"), "caf\xc3\xa9") << "invalid UTF-8 as declared";
}

TEST(Charset, EncodedWordsEachInTheirOwnCharset) {
    EXPECT_EQ(DecodeHeaderWordsToUtf8("=?ISO-8859-2?Q?=B3=F3d=BC?= =?KOI8-R?B?8NLJ1w==?= x"),
              "\xc5\x82\xc3\xb3\x64\xc5\xba\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2 x");
    EXPECT_EQ(DecodeHeaderWordsToUtf8("Re: =?windows-1252?q?=93hi=94?="),
              "Re: \xe2\x80\x9chi\xe2\x80\x9d");
    EXPECT_EQ(DecodeHeaderWordsToUtf8("=?utf-8?Q?broken"), "=?utf-8?Q?broken");
}

// Every byte as "=XY", as an RFC 2047 "Q" word may write it.
std::string QEncode(const std::string& bytes) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += std::string("=") + hex[byte >> 4] + hex[byte & 15];
    }
    return out;
}

TEST_F(MsgListTest, BodiesAndHeaderWordsShowInTheirDeclaredCharsets) {
    for (const CharsetRow& row : kRows) {
        const std::string charset = row.charset;
        box.Add("From: =?" + charset + "?B?" + mail::EncodeBase64(row.bytes) +
                "?= <a@b.c>\nSubject: =?" + charset + "?Q?x_" + QEncode(row.bytes) +
                "?=\nContent-Type: text/plain; charset=\"" + charset + "\"\n\n" + row.bytes + "\n");
    }
    OpenMailbox();
    for (const CharsetRow& row : kRows) {
        const auto shown = Memo();
        EXPECT_EQ(shown[0], "From : " + row.utf8 + " ") << row.charset;
        EXPECT_EQ(shown[2], "Subj : x " + row.utf8) << row.charset;
        EXPECT_EQ(shown.back(), row.utf8) << row.charset;
        list.NextClick();
    }
}

TEST_F(MsgListTest, EachPartOfAMultipartInItsOwnCharset) {
    box.Add(
        "Subject: two parts\nContent-Type: multipart/alternative; boundary=\"B\"\n\n--B\n"
        "Content-Type: text/plain; charset=iso-8859-2\n\n\xb3\xf3\xbf\x6b\x6f\n--B\n"
        "Content-Type: text/plain; charset=koi8-r\n\n\xf0\xd2\xc9\xd7\xc5\xd4\n--B\n"
        "Content-Type: text/plain\n\n\xe9t\xe9\n--B--\n");
    OpenMailbox();
    const auto shown = Memo();
    EXPECT_EQ(std::vector<std::string>(shown.end() - 3, shown.end()),
              (std::vector<std::string>{"\xc5\x82\xc3\xb3\xc5\xbc\x6b\x6f",
                                        "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82",
                                        "\xc3\xa9t\xc3\xa9"}));
}

TEST(Filters, WordsMatchAnywhereIgnoringCase) {
    struct Row {
        const char* filter;
        const char* text;
        bool matches;
    } rows[] = {
        {"free money", "Money for FREE", true},
        {"free money", "free time", false},
        {"Win", "you WIN", true},
        {"free  money", "free money", false},  // an empty word never occurs
        {"", "anything", false},
        {"caf\xc9", "Caf\xe9 Latin-1 bytes", false},  // letters beyond ASCII keep their case
        {"CAF", "caf\xe9", true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FilterMatches(row.filter, row.text), row.matches)
            << "[" << row.filter << "] in [" << row.text << "]";

    settings::Tables tables;
    tables.FilterTable[0] = "nothing";
    tables.FilterTable[1] = "money";
    tables.FilterCount = 2;
    EXPECT_FALSE(PassesFilters(tables, "Money!"));
    tables.FilterCount = 1;
    EXPECT_TRUE(PassesFilters(tables, "Money!"));
}

TEST_F(MsgListTest, FiltersMatchTheBytesOfAnEncodedSubject) {
    box.Add("Subject: =?iso-8859-1?Q?Gro=DFe_Gewinne?=\n\nbody\n");
    state.Config.filter = true;
    state.Tables.FilterTable[0] = "gro\xdf";
    state.Tables.FilterCount = 1;
    OpenMailbox();
    EXPECT_EQ(Memo()[0], kFilteredBanner);
    EXPECT_EQ(Memo()[3],
              "Subj : Gro\xc3\x9f"
              "e Gewinne");
}

}  // namespace
}  // namespace msgwindow::test
