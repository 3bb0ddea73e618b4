// The compact line store of a message body: each line comes back as it went in, whatever its
// bytes, and emptying it leaves a store that reads and grows as a fresh one.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "mail/TextLines.h"

namespace {

using mail::TextLines;

TEST(TextLines, LinesComeBackAsTheyWentIn) {
    const std::vector<std::string> lines = {"first",  "", std::string("n\0l", 3),
                                            "a\r\nb", "", "last"};
    TextLines text;
    for (const std::string& line : lines)
        text.push_back(line);
    ASSERT_EQ(text.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(text[i], lines[i]) << i;
    EXPECT_EQ(std::vector<std::string>(text.begin(), text.end()), lines);
    EXPECT_EQ(text.front(), "first");
    EXPECT_EQ(text.back(), "last");
}

TEST(TextLines, AtPastTheEndRaises) {
    const TextLines text{"only"};
    EXPECT_EQ(text.at(0), "only");
    EXPECT_THROW(static_cast<void>(text.at(1)), std::out_of_range);
}

// The same characters split at another place are other lines.
TEST(TextLines, EqualityComparesTheLinesNotOnlyTheCharacters) {
    EXPECT_EQ((TextLines{"ab", "c"}), (TextLines{"ab", "c"}));
    EXPECT_NE((TextLines{"ab", "c"}), (TextLines{"a", "bc"}));
    EXPECT_NE((TextLines{"ab"}), (TextLines{"ab", ""}));
}

TEST(TextLines, ClearLeavesAnEmptyStoreThatGrowsAgain) {
    TextLines text{"one", "two"};
    text.ReserveMore(1000, 100000);
    text.clear();
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(text.begin(), text.end());
    text.push_back("again");
    EXPECT_EQ(text, (TextLines{"again"}));
}

}  // namespace
