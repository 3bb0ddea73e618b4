#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "skin/Drawing.h"
#include "skin/Region.h"

namespace {

using skin::Bitmap;
using skin::KeyColour;
using skin::Rect;
using skin::Rgb;

const skin::Pixel kGrey = Rgb(128, 128, 128);

TEST(RegionFromBitmap, KeyColourCornersAreCutAway) {
    Bitmap b(4, 3, kGrey);
    for (auto [x, y] : {std::pair{0, 0}, {3, 0}, {0, 2}, {3, 2}}) {
        b.Set(x, y, KeyColour);
    }
    const auto region = skin::RegionFromBitmap(b, KeyColour, 0);
    ASSERT_TRUE(region.has_value());
    const std::vector<Rect> expected = {{1, 0, 2, 1}, {0, 1, 4, 1}, {1, 2, 2, 1}};
    EXPECT_EQ(region->Rects(), expected);
    EXPECT_FALSE(region->Contains(0, 0));
    EXPECT_FALSE(region->Contains(3, 2));
    EXPECT_TRUE(region->Contains(0, 1));
    EXPECT_EQ(region->BoundingBox(), (Rect{0, 0, 4, 3}));
}

TEST(RegionFromBitmap, EachRunOfARowIsOneRectangle) {
    Bitmap b(7, 1, kGrey);
    b.Set(2, 0, KeyColour);
    b.Set(3, 0, KeyColour | 0x00000000u);
    b.Set(5, 0, Rgb(255, 0, 254));
    const auto region = skin::RegionFromBitmap(b, KeyColour, 0);
    const std::vector<Rect> expected = {{0, 0, 2, 1}, {4, 0, 3, 1}};
    EXPECT_EQ(region->Rects(), expected);
}

TEST(RegionFromBitmap, ToleranceWidensEachComponentUpwards) {
    Bitmap b(3, 1, Rgb(255, 5, 255));
    b.Set(1, 0, Rgb(254, 5, 255));
    b.Set(2, 0, Rgb(255, 11, 255));
    EXPECT_EQ(skin::RegionFromBitmap(b, KeyColour, 0)->Rects().size(), 1u);
    const auto tolerant = skin::RegionFromBitmap(b, KeyColour, Rgb(0, 10, 0));
    const std::vector<Rect> expected = {{1, 0, 2, 1}};
    EXPECT_EQ(tolerant->Rects(), expected);
}

TEST(RegionFromBitmap, EmptyBitmapGivesNoRegionAndAllKeyGivesAnEmptyOne) {
    EXPECT_FALSE(skin::RegionFromBitmap(Bitmap(), KeyColour, 0).has_value());
    const auto none = skin::RegionFromBitmap(Bitmap(5, 5, KeyColour), KeyColour, 0);
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->Rects().empty());
    EXPECT_EQ(none->BoundingBox(), Rect{});
}

TEST(DrawTransparent, KeyColourLeavesTheSurfaceAndDrawingIsClipped) {
    Bitmap dest(3, 3, kGrey);
    Bitmap source(2, 2, Rgb(1, 2, 3));
    source.Set(0, 0, KeyColour);
    skin::DrawTransparent(dest, 2, -1, source, KeyColour);
    EXPECT_EQ(dest.At(2, 0), Rgb(1, 2, 3));  // source (0, 1)
    EXPECT_EQ(dest.At(1, 0), kGrey);
    skin::DrawTransparent(dest, 0, 1, source, KeyColour);
    EXPECT_EQ(dest.At(0, 1), kGrey);
    EXPECT_EQ(dest.At(1, 1), Rgb(1, 2, 3));
    EXPECT_EQ(dest.At(0, 2), Rgb(1, 2, 3));
}

TEST(DrawPictureTransparent, BitmapsLoseTheirBottomLeftColourOthersTheirOwnTransparency) {
    const skin::Pixel green = Rgb(0, 200, 0);
    skin::Picture bitmap{Bitmap(2, 2, green), skin::PictureFormat::Bitmap};
    bitmap.Image.Set(1, 0, KeyColour);
    Bitmap dest(2, 2, kGrey);
    skin::DrawPictureTransparent(dest, 0, 0, bitmap);
    EXPECT_EQ(dest.At(0, 0), kGrey);
    EXPECT_EQ(dest.At(1, 0), KeyColour);
    EXPECT_EQ(dest.At(1, 1), kGrey);

    skin::Picture gif{Bitmap(2, 1, green), skin::PictureFormat::Gif};
    gif.Image.Set(0, 0, skin::kTransparentPixel);
    Bitmap under(2, 1, kGrey);
    skin::DrawPictureTransparent(under, 0, 0, gif);
    EXPECT_EQ(under.At(0, 0), kGrey);
    EXPECT_EQ(under.At(1, 0), green);
    skin::Pixel key = 0;
    EXPECT_FALSE(skin::TransparentColourOf(gif, key));
}

}  // namespace
