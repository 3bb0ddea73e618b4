#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/Stream.h"

namespace {

// Growing moves the content whole; releasing the read pages leaves the rest as it was.
TEST(ReleasableBuffer, GrowsAndReleasesOnlyWhatWasRead) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    platform::ReleasableBuffer buffer;
    std::string expected;
    for (int i = 0; expected.size() < 8 * page; ++i) {
        const std::string piece = "line " + std::to_string(i) + "\r\n";
        buffer.Append(piece.data(), piece.size());
        expected += piece;
    }
    ASSERT_EQ(buffer.View(), expected);
    const std::size_t half = buffer.Size() / 2;
    buffer.ReleaseBefore(half);
    buffer.ReleaseBefore(half / 2);  // going back releases nothing more
    const std::size_t kept = half / page * page;
    EXPECT_EQ(buffer.View().substr(kept), std::string_view(expected).substr(kept));
    EXPECT_EQ(buffer.View()[0], '\0') << "the first page went back to the system";
    buffer.Truncate(10);
    EXPECT_EQ(buffer.Size(), 10u);
    char* room = buffer.Room(3);
    room[0] = 'x';
    buffer.Commit(1);
    EXPECT_EQ(buffer.View().back(), 'x');
}

}  // namespace
