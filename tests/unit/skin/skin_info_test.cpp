#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "skin/SkinError.h"
#include "skin/SkinInfo.h"

namespace {

TEST(ReadSkinInfo, FindsTheKeysInAnySectionAndALaterLineWins) {
    testsupport::TempFolder dir;
    const std::string file = dir.Folder() + "skin.ini";
    skintest::WriteFile(file,
                        "[background]\r\nSKIN_NAME = First\r\nmain=main.bmp\n"
                        "[about]\nskin_author=  Ann Example \r"
                        "skin_mail=ann@example.org\r\nskin_web=http://example.org/\n"
                        "skin_info = two = signs\nskin_name=Second\n");
    const skin::SkinInfo info = skin::ReadSkinInfo(file);
    EXPECT_EQ(info.Folder, dir.Folder());
    EXPECT_EQ(info.Name, "Second");
    EXPECT_EQ(info.Author, "Ann Example");
    EXPECT_EQ(info.Mail, "ann@example.org");
    EXPECT_EQ(info.Web, "http://example.org/");
    EXPECT_EQ(info.Info, "two = signs");
}

TEST(ReadSkinInfo, MissingKeysStayEmptyAndAMissingFileRaises) {
    testsupport::TempFolder dir;
    skintest::WriteFile(dir.Folder() + "skin.ini", "[background]\r\nmain=main.bmp\r\n");
    const skin::SkinInfo info = skin::ReadSkinInfo(dir.Folder() + "skin.ini");
    EXPECT_EQ(info.Name, "");
    EXPECT_EQ(info.Web, "");
    EXPECT_THROW(skin::ReadSkinInfo(dir.Folder() + "none.ini"), skin::SkinError);
}

}  // namespace
