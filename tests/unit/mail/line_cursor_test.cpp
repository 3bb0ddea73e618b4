// The in-place line walk against a plain byte-by-byte splitter: the same lines, line starts,
// counts and header lookups, on random texts made of every kind of line break, blanks, header
// lines and lines longer than the walk's search window.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "mail/LineCursor.h"
#include "mail/qel_util.h"

namespace {

using mail::StringList;

struct Reference {
    StringList lines;
    std::vector<std::size_t> starts;
};

// Lines end at CRLF, LF or CR; a final line break starts no further line.
Reference SplitByteByByte(const std::string& text) {
    Reference ref;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '\r' && text[i] != '\n') {
            ++i;
            continue;
        }
        ref.lines.push_back(text.substr(start, i - start));
        ref.starts.push_back(start);
        i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size()) {
        ref.lines.push_back(text.substr(start));
        ref.starts.push_back(start);
    }
    return ref;
}

std::string RandomText(std::mt19937& random) {
    static const std::string kPieces[] = {"\r\n", "\n", "\r",  "a", "Subject: s", "A: 1",
                                          " ",    "\t", "--b", "",  "\r\n\r\n"};
    std::string text;
    const int pieces = static_cast<int>(random() % 40);
    for (int i = 0; i < pieces; ++i) {
        if (random() % 12 == 0)
            text += std::string(200 + random() % 700, 'x');  // longer than one search window
        else
            text += kPieces[random() % std::size(kPieces)];
    }
    return text;
}

TEST(LineCursor, WalksTheLinesOfAByteByByteSplit) {
    std::mt19937 random(1208);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomText(random);
        const Reference ref = SplitByteByByte(text);
        StringList walked;
        mail::LineCursor cursor(text);
        for (std::string_view line; cursor.Next(line);)
            walked.emplace_back(line);
        ASSERT_EQ(walked, ref.lines) << testing::PrintToString(text);
        ASSERT_EQ(mail::CountLines(text), ref.lines.size()) << testing::PrintToString(text);
        ASSERT_EQ(mail::LastLineStart(text), ref.starts.empty() ? 0 : ref.starts.back())
            << testing::PrintToString(text);
        const std::set<std::size_t> starts(ref.starts.begin(), ref.starts.end());
        for (std::size_t at = 1; at < text.size(); ++at)
            ASSERT_EQ(mail::IsLineStart(text, at), starts.count(at) == 1)
                << at << " in " << testing::PrintToString(text);
    }
}

TEST(LineCursor, HeaderLookupsInTextMatchTheLineListOnes) {
    std::mt19937 random(612);
    for (int round = 0; round < 2000; ++round) {
        const std::string text = RandomText(random);
        const StringList lines = mail::SplitLines(text);
        std::string inList;
        std::string inText;
        for (const std::string key : {"SUBJECT:", "A:"}) {
            const bool foundInList = mail::FindHeader(key, lines, inList);
            ASSERT_EQ(mail::FindHeaderInText(key, text, inText), foundInList)
                << testing::PrintToString(text);
            if (foundInList) {
                ASSERT_EQ(inText, inList) << testing::PrintToString(text);
            }
        }
        StringList body = lines;
        mail::SkipHeaderBlock(body);
        ASSERT_EQ(mail::SplitLines(mail::SkipHeaderBlockInText(text)), body)
            << testing::PrintToString(text);
        ASSERT_EQ(mail::JoinLinesOfText(text), mail::JoinLines(lines));
    }
}

}  // namespace
