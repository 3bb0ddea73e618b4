#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "skin/BmpFile.h"
#include "skin/SkinText.h"

namespace {

using skin::Bitmap;
using skin::KeyColour;
using skin::TextImage;
using skintest::Tagged;

constexpr unsigned kFontTag = 3;
constexpr unsigned kBackTag = 1;
constexpr int kLeft = 10;
constexpr int kTop = 5;

struct Fixture {
    Bitmap font;
    Bitmap background = skintest::TaggedBitmap(250, 60, kBackTag);
    skin::TextDrawing drawing;

    Fixture(int w, int h, TextImage kind = TextImage::Status, int maxChar = 128) {
        font = skintest::TaggedBitmap(kind == TextImage::Status ? 26 * w : 10 * w,
                                      kind == TextImage::Status ? 3 * h + 1 : h, kFontTag);
        drawing.Kind = kind;
        drawing.CellWidth = w;
        drawing.CellHeight = h;
        drawing.MaxChar = maxChar;
        drawing.Font = &font;
        drawing.Background = &background;
        drawing.Left = kLeft;
        drawing.Top = kTop;
    }
};

skin::Pixel Back(int x, int y) {
    return Tagged(kLeft + x, kTop + y, kBackTag);
}

// Checks that the w x h cell at image x has been copied from font (fx, fy).
void ExpectCell(const Bitmap& image, int x, int fx, int fy, int w, int h) {
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            ASSERT_EQ(image.At(x + i, j), Tagged(fx + i, fy + j, kFontTag))
                << "image " << x + i << "," << j;
        }
    }
}

void ExpectBackground(const Bitmap& image, int fromX, int toX) {
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = fromX; x < toX; ++x) {
            ASSERT_EQ(image.At(x, y), Back(x, y)) << "image " << x << "," << y;
        }
    }
}

TEST(RenderSkinText, ABWithSixByEightCells) {
    Fixture f(6, 8);
    Bitmap image;
    EXPECT_FALSE(skin::RenderSkinText(f.drawing, "AB", 0, image));
    ASSERT_EQ(image.Width(), 13);
    ASSERT_EQ(image.Height(), 9);
    ExpectCell(image, 1, 0, 0, 6, 8);
    ExpectCell(image, 7, 6, 0, 6, 8);
    ExpectBackground(image, 0, 1);
    for (int x = 0; x < 13; ++x) {
        EXPECT_EQ(image.At(x, 8), Back(x, 8)) << "bottom row " << x;
    }
}

TEST(RenderSkinText, TakesEachCharacterFromItsRow) {
    const int w = 4;
    const int h = 5;
    Fixture f(w, h);
    Bitmap image;
    skin::RenderSkinText(f.drawing, "hello", 0, image);
    const int cells[] = {7, 4, 11, 11, 14};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        ExpectCell(image, 1 + i * w, cells[i] * w, 0, w, h);
    }
    skin::RenderSkinText(f.drawing, "3 messages", 0, image);
    ASSERT_EQ(image.Width(), 10 * w + 1);
    ExpectCell(image, 1, 11 * w, h, w, h);
    ExpectBackground(image, 1 + w, 1 + 2 * w);
    ExpectCell(image, 1 + 2 * w, 12 * w, 0, w, h);
    skin::RenderSkinText(f.drawing, "!'(@", 0, image);
    ExpectCell(image, 1, 0, 2 * h + 1, w, h);
    ExpectCell(image, 1 + w, 6 * w, 2 * h + 1, w, h);
    ExpectCell(image, 1 + 2 * w, 0, h, w, h);
    ExpectCell(image, 1 + 3 * w, 24 * w, h, w, h);
}

TEST(RenderSkinText, CharactersWithoutACellLeaveNoGap) {
    const int w = 4;
    const int h = 5;
    Fixture f(w, h);
    for (const char* text : {"A[B", "A_B", "A|B",
                             "A\xE9"
                             "B"}) {
        SCOPED_TRACE(text);
        Bitmap image;
        skin::RenderSkinText(f.drawing, text, 0, image);
        ASSERT_EQ(image.Width(), 3 * w + 1);
        ExpectCell(image, 1, 0, 0, w, h);
        ExpectCell(image, 1 + w, w, 0, w, h);
        ExpectBackground(image, 1 + 2 * w, 3 * w + 1);
    }
}

TEST(RenderSkinText, MaxCharCutsTheImageButTheTextScrollsThrough) {
    const int w = 4;
    const int h = 5;
    Fixture f(w, h, TextImage::Status, 10);
    const std::string text = "ABCDEFGHIJKLMNOPQRSTUVWXYZABCD";
    Bitmap image;
    EXPECT_FALSE(skin::RenderSkinText(f.drawing, text, 0, image));
    EXPECT_EQ(image.Width(), 10 * w + 1);
    EXPECT_FALSE(skin::RenderSkinText(f.drawing, text, 20 * w, image));
    ExpectCell(image, 1, 20 * w, 0, w, h);  // U, the 21st character
    EXPECT_FALSE(skin::RenderSkinText(f.drawing, text, 30 * w + 1, image));
    ExpectBackground(image, 0, image.Width());
    EXPECT_TRUE(skin::RenderSkinText(f.drawing, text, 30 * w + 2, image));
}

TEST(RenderSkinText, OffsetShiftsPixelForPixel) {
    Fixture f(6, 8);
    Bitmap image;
    skin::RenderSkinText(f.drawing, "AB", 3, image);
    ASSERT_EQ(image.Width(), 13);
    for (int j = 0; j < 8; ++j) {
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(image.At(x, j), Tagged(x + 2, j, kFontTag)) << x << "," << j;
        }
    }
    ExpectBackground(image, 10, 13);
    EXPECT_FALSE(skin::RenderSkinText(f.drawing, "AB", 13, image));
    ExpectBackground(image, 0, 13);
    EXPECT_TRUE(skin::RenderSkinText(f.drawing, "AB", 14, image));
}

TEST(RenderSkinText, CountUsesTheDigitRowOverKeyColour) {
    const int w = 5;
    const int h = 7;
    Fixture f(w, h, TextImage::Count);
    Bitmap image;
    skin::RenderSkinText(f.drawing, "12", 0, image);
    ASSERT_EQ(image.Width(), 2 * w + 1);
    ASSERT_EQ(image.Height(), h + 1);
    ExpectCell(image, 1, w, 0, w, h);
    ExpectCell(image, 1 + w, 2 * w, 0, w, h);
    for (int x = 0; x < image.Width(); ++x) {
        EXPECT_EQ(image.At(x, h), KeyColour);
    }
    for (int y = 0; y < image.Height(); ++y) {
        EXPECT_EQ(image.At(0, y), KeyColour);
    }
}

// A count font holds the digits only; the "-" of a failed check was drawn as a blank cell.
TEST(RenderSkinText, CountDrawsADashInTheInkOfItsDigits) {
    const int w = 11;
    const int h = 15;
    Fixture f(w, h, TextImage::Count);
    const skin::Pixel ink = skin::Rgb(0, 200, 255);
    f.font = Bitmap(10 * w, h, KeyColour);
    for (int y = 0; y < h; ++y) {
        for (int x = 8 * w; x < 9 * w; ++x) {
            f.font.Set(x, y, ink);
        }
    }
    f.font.Set(8 * w, 0, skin::Rgb(1, 1, 1));  // a shadow pixel, the minority colour
    Bitmap image;
    skin::RenderSkinText(f.drawing, "-", 0, image);
    EXPECT_EQ(image.At(1 + w / 2, h / 2), ink);
    EXPECT_EQ(image.At(1 + w / 2, 1), KeyColour) << "a bar, not a whole cell";
    EXPECT_EQ(image.At(1, h / 2), KeyColour) << "narrower than the cell";
}

TEST(RenderSkinText, KeyColourInTheFontLetsTheBackgroundThrough) {
    Fixture f(4, 5);
    f.font.Set(1, 1, KeyColour);
    Bitmap image;
    skin::RenderSkinText(f.drawing, "A", 0, image);
    EXPECT_EQ(image.At(2, 1), Back(2, 1));
    EXPECT_EQ(image.At(3, 1), Tagged(2, 1, kFontTag));
}

TEST(RenderSkinText, EmptyFontAndZeroCellsDrawOnlyBackground) {
    Fixture f(4, 5);
    const Bitmap none;
    f.drawing.Font = &none;
    Bitmap image;
    skin::RenderSkinText(f.drawing, "AB", 0, image);
    ASSERT_EQ(image.Width(), 9);
    ExpectBackground(image, 0, 9);
    Fixture zero(0, 0);
    skin::RenderSkinText(zero.drawing, "AB", 0, image);
    EXPECT_EQ(image.Width(), 1);
    EXPECT_EQ(image.Height(), 1);
}

TEST(RenderSkinText, HugeCellsAndMaxCharStopAtTheWindowsEdges) {
    // 1024 x 1024 cells and 100 characters would make a 32767 x 1025 image (134 MB).
    Fixture f(1, 1, TextImage::Status, 100);
    f.font = skintest::TaggedBitmap(2 * 1024, 1024, kFontTag);  // the cells of A and B
    f.drawing.CellWidth = 1024;
    f.drawing.CellHeight = 1024;
    Bitmap image;
    EXPECT_FALSE(skin::RenderSkinText(f.drawing, std::string(100, 'B'), 0, image));
    EXPECT_EQ(image.Width(), 250 - kLeft);
    EXPECT_EQ(image.Height(), 60 - kTop);
    EXPECT_EQ(image.At(1, 0), Tagged(1024, 0, kFontTag)) << "the glyph starts one pixel in";
    EXPECT_EQ(image.At(0, 0), Back(0, 0));
    EXPECT_TRUE(skin::RenderSkinText(f.drawing, "B", 1026, image)) << "PastEnd keeps the strip";
}

TEST(FontCache, ReadsAFontOncePerSkinLoad) {
    testsupport::TempFolder dir;
    const std::string path = dir.Folder() + "font.bmp";
    skin::FontCache cache;
    EXPECT_TRUE(cache.Font(path, 1).Empty());
    skin::WriteBmp(skintest::TaggedBitmap(4, 2, 1), path);
    EXPECT_TRUE(cache.Font(path, 1).Empty()) << "no file is looked at until the next load";
    EXPECT_EQ(cache.Font(path, 2), skintest::TaggedBitmap(4, 2, 1));
    skin::WriteBmp(skintest::TaggedBitmap(6, 3, 2), path);
    EXPECT_EQ(cache.Font(path, 2), skintest::TaggedBitmap(4, 2, 1));
    EXPECT_EQ(cache.Font(path, 3), skintest::TaggedBitmap(6, 3, 2)) << "the same skin loaded again";
    skin::WriteBmp(skintest::TaggedBitmap(2, 2, 3), dir.Folder() + "Other.bmp");
    EXPECT_EQ(cache.Font(dir.Folder() + "other.BMP", 3), skintest::TaggedBitmap(2, 2, 3));
    skintest::WriteFile(path, "not a bitmap");
    EXPECT_TRUE(cache.Font(path, 4).Empty());
}

}  // namespace
