#include "settings/Scramble.h"

#include <gtest/gtest.h>

namespace {

using settings::ScramblePassword;
using settings::UnscramblePassword;

std::string Byte(int code) {
    return std::string(1, static_cast<char>(code));
}

TEST(Scramble, KnownText) {
    EXPECT_EQ(ScramblePassword("ABC12"), "z|~Z\\");
    EXPECT_EQ(UnscramblePassword("z|~Z\\"), "ABC12");
}

TEST(Scramble, KeepsLengthAndGivesEvenCodesOnly) {
    for (int code = 0; code < 256; ++code) {
        const std::string stored = ScramblePassword(Byte(code));
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(static_cast<unsigned char>(stored[0]) % 2, 0) << "code " << code;
    }
}

TEST(Scramble, RoundTripRestoresCodesFrom4To131) {
    for (int code = 0; code < 256; ++code) {
        int expected = code;
        if (code >= 132) {
            expected = code - 128;
        } else if (code < 4) {
            expected = code + 128;
        }
        EXPECT_EQ(UnscramblePassword(ScramblePassword(Byte(code))), Byte(expected))
            << "code " << code;
    }
}

// A stored code below 12 makes (b - 12) negative; the quotient is truncated toward zero.
TEST(Scramble, UnscrambleTruncatesTowardZero) {
    EXPECT_EQ(UnscramblePassword(Byte(1)), Byte(5));
    EXPECT_EQ(UnscramblePassword(Byte(11)), Byte(10));
    EXPECT_EQ(UnscramblePassword(Byte(0)), Byte(4));
}

// Codes 9 and 137 scramble to a line feed, which the reader takes for a line end.
TEST(StoredPassword, IsTheScrambledFormWithoutLineEndsOrCtrlZ) {
    for (int code = 0; code < 256; ++code) {
        const std::string stored = settings::StoredPassword(Byte(code));
        EXPECT_EQ(UnscramblePassword(stored), UnscramblePassword(ScramblePassword(Byte(code))))
            << "code " << code;
        EXPECT_EQ(stored.find_first_of("\r\n\x1a"), std::string::npos) << "code " << code;
        if (code != 17 && code != 145 && code != 9 && code != 137) {
            EXPECT_EQ(stored, ScramblePassword(Byte(code))) << "code " << code;
        }
    }
    EXPECT_EQ(settings::StoredPassword("\x11\x91"), "\x1b\x1b");
}

}  // namespace
