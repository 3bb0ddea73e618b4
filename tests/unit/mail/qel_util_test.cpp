#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <set>

#include "ScopedEnv.h"
#include "TempFolder.h"
#include "mail/qel_util.h"

namespace {

using mail::StringList;

TEST(IsIPAddress, FourFieldsFromZeroTo255) {
    EXPECT_TRUE(mail::IsIPAddress("127.0.0.1"));
    EXPECT_TRUE(mail::IsIPAddress("255.255.255.0"));
    EXPECT_FALSE(mail::IsIPAddress("1.2.3.4.5"));
    EXPECT_FALSE(mail::IsIPAddress("1.2.3.-4"));
    EXPECT_FALSE(mail::IsIPAddress("1.2.3.256"));
    EXPECT_FALSE(mail::IsIPAddress("1.2..4"));
    EXPECT_FALSE(mail::IsIPAddress("mail.example.org"));
    EXPECT_FALSE(mail::IsIPAddress("1.2.3.99999999999999999999"));
    EXPECT_FALSE(mail::IsIPAddress(""));
}

TEST(ExtractNumber, WordOfAReply) {
    EXPECT_EQ(mail::ExtractNumber("7 12345", 2, -1), 12345);
    EXPECT_EQ(mail::ExtractNumber("7 12345", 3, -1), -1);
    EXPECT_EQ(mail::ExtractNumber("  +OK   3  420 ", 2, -1), 3);
    EXPECT_EQ(mail::ExtractNumber("  +OK   3  420 ", 3, -1), 420);
    EXPECT_EQ(mail::ExtractNumber("+OK abc", 2, 9), 9);
    EXPECT_EQ(mail::ExtractNumber("", 1, 9), 9);
    EXPECT_EQ(mail::ExtractNumber("1 99999999999", 2, 9), 9);
}

TEST(ExtractBoundary, KeyWithoutCaseValueWithCase) {
    EXPECT_EQ(mail::ExtractBoundary("Content-Type: multipart/mixed; boundary=\"AbC=_x\""),
              "--AbC=_x");
    EXPECT_EQ(mail::ExtractBoundary("Content-Type: multipart/mixed; BOUNDARY=Plain; charset=x"),
              "--Plain");
    EXPECT_EQ(mail::ExtractBoundary("multipart/alternative; boundary = \"q;r\"; x=y"), "--q");
    EXPECT_EQ(mail::ExtractBoundary("multipart/mixed; boundary=\"unterminated"), "--unterminated");
    EXPECT_EQ(mail::ExtractBoundary("multipart/mixed"), "--");
    EXPECT_EQ(mail::ExtractBoundary("boundary="), "--");
}

TEST(TimeZone, TextOfABias) {
    EXPECT_EQ(mail::TimeZoneString(0), "GMT");
    EXPECT_EQ(mail::TimeZoneString(-90), "+0130");
    EXPECT_EQ(mail::TimeZoneString(300), "-0500");
    EXPECT_EQ(mail::TimeZoneString(-60), "+0100");
    EXPECT_EQ(mail::PadNumber(7, 2), "07");
    EXPECT_EQ(mail::PadNumber(2026, 2), "2026");
}

class WithTimeZone : public testing::Test {
protected:
    void SetZone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    void TearDown() override {
        if (m_saved.empty())
            unsetenv("TZ");
        else
            setenv("TZ", m_saved.c_str(), 1);
        tzset();
    }

private:
    std::string m_saved = std::getenv("TZ") ? std::getenv("TZ") : "";
};

TEST_F(WithTimeZone, BiasAndDateFollowTheLocalZone) {
    // POSIX zone strings, so the test needs no zone database.
    SetZone("CET-1");
    EXPECT_EQ(mail::TimeZoneBias(), -60);
    EXPECT_EQ(mail::TimeZoneString(), "+0100");
    EXPECT_EQ(mail::FormatMailDate(std::time_t{1796596865}), "Sun, 6 Dec 2026 23:41:05 +0100");
    SetZone("EST5");
    EXPECT_EQ(mail::TimeZoneBias(), 300);
    EXPECT_EQ(mail::FormatMailDate(std::time_t{1796596865}), "Sun, 6 Dec 2026 17:41:05 -0500");
    SetZone("UTC0");
    EXPECT_EQ(mail::FormatMailDate(std::time_t{0}), "Thu, 1 Jan 1970 00:00:00 GMT");
}

bool AllIn(const std::string& text, char first, char last) {
    for (const char c : text)
        if (c < first || c > last)
            return false;
    return !text.empty();
}

TEST(Identifiers, MessageIdAndBoundaryShapes) {
    const std::string id = mail::MakeMessageId("host.example");
    ASSERT_EQ(id.size(), 38u) << id;
    EXPECT_EQ(id.substr(0, 5), "<QEL.") << id;
    EXPECT_TRUE(AllIn(id.substr(5, 4), '0', '9')) << id;
    EXPECT_EQ(id[9], '.');
    EXPECT_TRUE(AllIn(id.substr(10, 2), '0', '9')) << id;
    EXPECT_EQ(id[12], '.');
    EXPECT_TRUE(AllIn(id.substr(13, 2), '0', '9')) << id;
    EXPECT_EQ(id[15], '.');
    EXPECT_TRUE(AllIn(id.substr(16, 8), 'a', 't')) << id;
    EXPECT_EQ(id.substr(24), "@host.example>");
    const std::string boundary = mail::MakeBoundary();
    ASSERT_EQ(boundary.size(), 25u) << boundary;
    EXPECT_EQ(boundary.substr(0, 13), "--_QEL_bound_");
    EXPECT_TRUE(AllIn(boundary.substr(13), 'a', 'y')) << boundary;
    EXPECT_NE(mail::MakeBoundary(), mail::MakeBoundary());
}

TEST(GetTempFile, CreatesAPrivateUniqueFileInTmpdir) {
    const testsupport::TempFolder folder;
    std::set<std::string> names;
    {
        const testsupport::ScopedEnv tmpdir("TMPDIR", folder.Folder());
        for (int i = 0; i < 5; ++i)
            names.insert(mail::GetTempFile());
    }
    EXPECT_EQ(names.size(), 5u);
    for (const auto& name : names) {
        EXPECT_EQ(name.rfind(folder.File("qel"), 0), 0u) << name;
        struct stat info {};
        ASSERT_EQ(stat(name.c_str(), &info), 0) << name;
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        EXPECT_EQ(info.st_size, 0);
    }
}

struct TextRow {
    const char* name;
    std::string input;
    std::string expected;
};

std::string RowName(const testing::TestParamInfo<TextRow>& info) {
    return info.param.name;
}

class HeaderWordRows : public testing::TestWithParam<TextRow> {};

TEST_P(HeaderWordRows, Decodes) {
    EXPECT_EQ(mail::DecodeHeaderWords(GetParam().input), GetParam().expected)
        << "input: " << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HeaderWordRows,
    testing::Values(TextRow{"no_word", "plain text", "plain text"},
                    TextRow{"q_word", "=?iso-8859-1?Q?caf=E9_cr=E8me?=", "caf\xe9 cr\xe8me"},
                    TextRow{"b_lower_case", "=?utf-8?b?aGVsbG8=?= world", "hello world"},
                    TextRow{"unknown_letter_dropped", "a =?x?X?abc?= b", "a  b"},
                    TextRow{"blank_between_words_dropped", "=?a?Q?x?= =?a?Q?y?=", "xy"},
                    // RFC 2047 6.2: only the space that the words themselves encode remains.
                    TextRow{"blanks_and_tab_between_words_dropped",
                            "=?UTF-8?Q?caf=C3=A9?= \t =?UTF-8?Q?_cr=C3=A8me?=",
                            "caf\xc3\xa9 cr\xc3\xa8me"},
                    TextRow{"blank_before_plain_text_kept", "=?UTF-8?Q?=E2=9C=94?= (1476)",
                            "\xe2\x9c\x94 (1476)"},
                    TextRow{"blank_after_plain_text_kept", "Re: =?a?Q?x?= =?a?Q?y?= z", "Re: xy z"},
                    TextRow{"adjacent_words", "=?a?Q?x?==?a?Q?y?=", "xy"},
                    TextRow{"decoded_word_is_decoded_again", "=?a?B?PT9hP1E/ej89?=", "z"},
                    TextRow{"equals_before_decoded_question", "ab==?a?Q??c?Q?d=3F=3D?=", "abd"},
                    TextRow{"unterminated_word_left", "x =?iso?Q?abc", "x =?iso?Q?abc"},
                    TextRow{"no_question_left", "x =?iso", "x =?iso"},
                    TextRow{"letter_at_end", "x =?iso?", "x =?iso?"},
                    TextRow{"empty_word", "a=?cs?Q?\?=b", "ab"},
                    TextRow{"second_word_unterminated", "=?a?Q?x?= =?b?Q?y", "x =?b?Q?y"}),
    RowName);

TEST(Addresses, ExtractAddressAndDisplayName) {
    EXPECT_EQ(mail::ExtractAddress("\"Jo Doe\" <jo@x.org>", false), "jo@x.org");
    EXPECT_EQ(mail::ExtractAddress("jo@x.org (Jo Doe)", true), "<jo@x.org>");
    EXPECT_EQ(mail::ExtractAddress("jo@x.org (Jo (the) Doe)", false), "jo@x.org")
        << "comments nest (RFC 5322 3.2.2)";
    EXPECT_EQ(mail::ExtractAddress("jo@x.org (Jo \\) Doe)", false), "jo@x.org")
        << "a quoted pair does not close a comment";
    EXPECT_EQ(mail::ExtractAddress("(c1)jo@x.org(c2)", false), "jo@x.org");
    EXPECT_EQ(mail::ExtractAddress("a) b (c", false), "a) b (c");
    EXPECT_EQ(mail::ExtractAddress("  bare@x.org ", false), "bare@x.org");
    EXPECT_EQ(mail::ExtractDisplayName("\"Jo Doe\" <jo@x.org>", true), "\"Jo Doe\"");
    EXPECT_EQ(mail::ExtractDisplayName("jo@x.org (Jo Doe)", false), "Jo Doe");
    EXPECT_EQ(mail::ExtractDisplayName("'O'Brien' <o@x>", false), "OBrien");
    EXPECT_EQ(mail::ExtractDisplayName("<o@x>", true), "\"\"");
}

TEST(Addresses, SplitAddressListGivesLowerCaseBareAddresses) {
    EXPECT_EQ(mail::SplitAddressList("\"Doe, Jo\" <Jo@X.org>, Bob <BOB@y.org>"),
              (StringList{"jo@x.org", "bob@y.org"}));
    EXPECT_EQ(mail::SplitAddressList("a@b.c,, d@e.f,"), (StringList{"a@b.c", "d@e.f"}));
    EXPECT_TRUE(mail::SplitAddressList("   ").empty());
}

TEST(Addresses, FormatAddressListNormalises) {
    EXPECT_EQ(mail::FormatAddressList("\"Doe, Jo\" <jo@x.org>, Bob <bob@y.org>"),
              "\"\" <jo@x.org>, \"Bob\" <bob@y.org>");
    EXPECT_EQ(mail::FormatAddressList("jo@x.org (Jo)"), "\"Jo\" <jo@x.org>");
    EXPECT_EQ(mail::FormatAddressList("=?iso-8859-1?Q?Ren=E9?= <r@x.fr>"), "\"Ren\xe9\" <r@x.fr>");
    EXPECT_EQ(mail::FormatAddressList(""), "");
}

TEST(TextHelpers, QuotesCharactersAndLines) {
    EXPECT_EQ(mail::StripQuotes("\"a.txt\""), "a.txt");
    EXPECT_EQ(mail::StripQuotes("'a.txt"), "a.txt");
    EXPECT_EQ(mail::StripQuotes("\""), "");
    EXPECT_EQ(mail::RemoveChar("a:b:c", ':'), "abc");
    EXPECT_EQ(mail::SplitLines("a\r\nb\nc\rd\r\n\r\ne"), (StringList{"a", "b", "c", "d", "", "e"}));
    EXPECT_EQ(mail::SplitLines("a\n"), (StringList{"a"}));
    EXPECT_EQ(mail::SplitLines("\n"), (StringList{""}));
    EXPECT_EQ(mail::JoinLines({"a", "b"}), "a\r\nb\r\n");
}

TEST(HeaderLines, FindHeaderJoinsContinuationsWithinTheHeaderBlock) {
    const StringList lines = {
        "", "Reply-To: r@x", "Subject: first", "\tsecond", "  third", "To: t@x", "", "Cc: body@x"};
    std::string line;
    ASSERT_TRUE(mail::FindHeader("SUBJECT:", lines, line));
    EXPECT_EQ(line, "Subject: first\tsecond  third")
        << "unfolding keeps the blanks (RFC 5322 2.2.3)";
    ASSERT_TRUE(mail::FindHeader("TO:", lines, line));
    EXPECT_EQ(line, "To: t@x");
    EXPECT_FALSE(mail::FindHeader("CC:", lines, line));
    EXPECT_FALSE(mail::FindHeader("FROM:", StringList{}, line));
}

TEST(HeaderLines, GetHeaderParamCutsAtSemicolon) {
    EXPECT_EQ(mail::GetHeaderParam("CONTENT-TYPE:", "Content-type:  Text/Plain ; charset=x"),
              "Text/Plain");
    EXPECT_EQ(mail::GetHeaderParam("NAME", "application/x; name=\"a;b.txt\""), "=\"a");
    EXPECT_EQ(mail::GetHeaderParam("FILENAME", "attachment"), "");
}

TEST(HeaderLines, SkipHeaderBlockDropsHeadersAndBlankLines) {
    StringList lines = {"A: 1", "B: 2", "", " ", "body", "", "more"};
    mail::SkipHeaderBlock(lines);
    EXPECT_EQ(lines, (StringList{"body", "", "more"}));
    StringList onlyHeaders = {"A: 1"};
    mail::SkipHeaderBlock(onlyHeaders);
    EXPECT_TRUE(onlyHeaders.empty());
}

}  // namespace
