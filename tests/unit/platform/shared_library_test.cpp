#include "platform/SharedLibrary.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace {

using StrLen = std::size_t (*)(const char*);

TEST(SharedLibrary, FindsAFunctionOfALoadedLibrary) {
    platform::SharedLibrary library("libc.so.6");
    ASSERT_TRUE(library.Loaded());
    const StrLen strLen = library.Find<StrLen>("strlen");
    ASSERT_NE(strLen, nullptr);
    EXPECT_EQ(strLen("mail"), 4u);
    EXPECT_EQ(library.Error(), "");
}

TEST(SharedLibrary, MissingLibraryOrFunctionIsNullWithTheReason) {
    platform::SharedLibrary missing("libvorla-nowhere.so.0");
    EXPECT_FALSE(missing.Loaded());
    EXPECT_NE(missing.Error().find("libvorla-nowhere.so.0"), std::string::npos);
    EXPECT_EQ(missing.Find<StrLen>("strlen"), nullptr);

    platform::SharedLibrary libc("libc.so.6");
    EXPECT_EQ(libc.Find<StrLen>("vorla_no_such_function"), nullptr);
    EXPECT_NE(libc.Error().find("vorla_no_such_function"), std::string::npos);
}

}  // namespace
