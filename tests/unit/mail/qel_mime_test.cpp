#include <gtest/gtest.h>

#include "mail/QelMIME.h"

namespace {

TEST(Base64Encoding, FiftySevenBytesMakeOneLine) {
    const std::string text = mail::EncodeBase64(std::string(57, 'a'));
    EXPECT_EQ(text.size(), 78u);
    EXPECT_EQ(text.substr(76), "\r\n");
}

}  // namespace
