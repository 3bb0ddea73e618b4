#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "BmpBuilder.h"
#include "SkinTestSupport.h"
#include "skin/BmpFile.h"
#include "skin/GifFile.h"
#include "skin/IconFile.h"
#include "skin/PictureLoader.h"
#include "skin/SkinError.h"

namespace {

using skin::Bitmap;
using skin::Pixel;
using skin::Rgb;

const Pixel kRed = Rgb(255, 0, 0);
const Pixel kBlue = Rgb(0, 0, 255);

int WriteToVector(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// A one-image GIF89a of width x height with a four-colour table; rows of indices top first.
std::vector<std::uint8_t> MakeGif(int width, int height, const std::vector<int>& indices,
                                  int transparent, bool interlace) {
    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
    EGifSetGifVersion(gif, true);
    const GifColorType colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    if (transparent >= 0) {
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = transparent;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
    }
    EGifPutImageDesc(gif, 0, 0, width, height, interlace, nullptr);
    std::vector<int> order;
    if (interlace) {
        for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
            for (int y = start; y < height; y += step) {
                order.push_back(y);
            }
        }
    } else {
        for (int y = 0; y < height; ++y) {
            order.push_back(y);
        }
    }
    for (int y : order) {
        std::vector<GifPixelType> line(static_cast<std::size_t>(width));
        for (int x = 0; x < width; ++x) {
            line[static_cast<std::size_t>(x)] =
                static_cast<GifPixelType>(indices[static_cast<std::size_t>(y * width + x)]);
        }
        EGifPutLine(gif, line.data(), width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

TEST(DecodeGif, KeepsTheTransparentColourAndDeinterlaces) {
    std::vector<int> indices;
    for (int i = 0; i < 3 * 10; ++i) {
        indices.push_back(i % 4);
    }
    for (bool interlace : {false, true}) {
        SCOPED_TRACE(interlace);
        const Bitmap b = skin::DecodeGif(MakeGif(3, 10, indices, 2, interlace));
        ASSERT_EQ(b.Width(), 3);
        ASSERT_EQ(b.Height(), 10);
        for (int i = 0; i < 30; ++i) {
            const Pixel expected = indices[static_cast<std::size_t>(i)] == 2
                                       ? skin::kTransparentPixel
                                   : indices[static_cast<std::size_t>(i)] == 0 ? Rgb(0, 0, 0)
                                   : indices[static_cast<std::size_t>(i)] == 1 ? kRed
                                                                               : kBlue;
            EXPECT_EQ(b.At(i % 3, i / 3), expected) << "pixel " << i;
        }
    }
}

TEST(DecodeGif, WithoutAControlBlockEveryPixelIsOpaque) {
    const Bitmap b = skin::DecodeGif(MakeGif(2, 1, {2, 3}, -1, false));
    EXPECT_EQ(b.At(0, 0), Rgb(0, 255, 0));
    EXPECT_EQ(b.At(1, 0), kBlue);
}

TEST(DecodeGif, TruncatedAndForeignDataFailWithSkinError) {
    const std::vector<std::uint8_t> file = MakeGif(4, 4, std::vector<int>(16, 1), 0, false);
    for (std::size_t n = 0; n < file.size() - 1; ++n) {
        SCOPED_TRACE(n);
        EXPECT_THROW(skin::DecodeGif(std::vector<std::uint8_t>(
                         file.begin(), file.begin() + static_cast<long>(n))),
                     skin::SkinError);
    }
    EXPECT_THROW(skin::DecodeGif({'B', 'M', 0, 0}), skin::SkinError);
}

Bitmap IconColours(int w, int h, unsigned tag) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            b.Set(x, y, Rgb(static_cast<unsigned>(x), static_cast<unsigned>(y), tag));
        }
    }
    return b;
}

TEST(DecodeIcon, TakesTheLargestBitmapEntryAndItsMask) {
    const Bitmap small = IconColours(2, 2, 1);
    const Bitmap large = IconColours(4, 3, 2);
    std::vector<bool> mask(12, false);
    mask[0] = true;   // top-left
    mask[11] = true;  // bottom-right
    const std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    const auto file =
        skintest::BuildIcon({{2, 2, 24, skintest::IconDib(small, {false, false, false, false}, 24)},
                             {64, 64, 32, png},
                             {4, 3, 24, skintest::IconDib(large, mask, 24)}});
    const Bitmap b = skin::DecodeIcon(file);
    ASSERT_EQ(b.Width(), 4);
    ASSERT_EQ(b.Height(), 3);
    EXPECT_EQ(b.At(0, 0), skin::kTransparentPixel);
    EXPECT_EQ(b.At(3, 2), skin::kTransparentPixel);
    EXPECT_EQ(b.At(1, 0), large.At(1, 0));
    EXPECT_EQ(b.At(2, 2), large.At(2, 2));
}

TEST(DecodeIcon, ThirtyTwoBitEntriesUseTheirAlpha) {
    Bitmap colour = IconColours(2, 1, 5);
    colour.Set(0, 0, colour.At(0, 0) & 0x00FFFFFFu);
    const auto file =
        skintest::BuildIcon({{2, 1, 32, skintest::IconDib(colour, {false, false}, 32)}});
    const Bitmap b = skin::DecodeIcon(file);
    EXPECT_EQ(b.At(0, 0), skin::kTransparentPixel);
    EXPECT_EQ(b.At(1, 0), colour.At(1, 0));
}

TEST(DecodeIcon, RejectsBrokenFiles) {
    const auto good = skintest::BuildIcon(
        {{2, 2, 24, skintest::IconDib(IconColours(2, 2, 1), std::vector<bool>(4), 24)}});
    const std::vector<std::uint8_t> onlyPng =
        skintest::BuildIcon({{16, 16, 32, {0x89, 'P', 'N', 'G', 0, 0}}});
    EXPECT_THROW(skin::DecodeIcon({0, 0, 1, 0, 0, 0}), skin::SkinError);
    EXPECT_THROW(skin::DecodeIcon(onlyPng), skin::SkinError);
    EXPECT_THROW(skin::DecodeIcon({'B', 'M'}), skin::SkinError);
    for (std::size_t n = 0; n < good.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_THROW(skin::DecodeIcon(std::vector<std::uint8_t>(
                         good.begin(), good.begin() + static_cast<long>(n))),
                     skin::SkinError);
    }
    EXPECT_NO_THROW(skin::DecodeIcon(good));
}

// A GIF's screen and an icon entry's picture are allocated whole: a small file may not claim a
// large one. The icon's DIB claims the size while the directory still says 2 x 2.
TEST(IconAndGif, ClaimedSizeMustFitTheFile) {
    auto gifScreen = [](int side) {
        std::vector<std::uint8_t> file = MakeGif(1, 1, {1}, -1, false);
        file[6] = file[8] = static_cast<std::uint8_t>(side & 0xFF);
        file[7] = file[9] = static_cast<std::uint8_t>(side >> 8);
        return file;
    };
    auto iconClaiming = [](int side) {
        std::vector<std::uint8_t> dib =
            skintest::IconDib(IconColours(2, 2, 1), std::vector<bool>(4), 24);
        std::vector<std::uint8_t> size;
        skintest::PutU32(size, static_cast<std::uint32_t>(side));
        skintest::PutU32(size, static_cast<std::uint32_t>(2 * side));
        std::copy(size.begin(), size.end(), dib.begin() + 4);
        return skintest::BuildIcon({{2, 2, 24, dib}});
    };
    const struct {
        const char* name;
        std::vector<std::uint8_t> file;
        bool gif;
        const char* reason;
    } rows[] = {
        {"GIF screen of 8192 x 8192", gifScreen(8192), true, "screen size out of range"},
        {"GIF screen of 4096 x 4096 from a few bytes", gifScreen(4096), true,
         "cannot come from a file of"},
        {"icon entry of 8192 x 8192", iconClaiming(8192), false, "out of range"},
        {"icon entry of 4096 x 4096 from a few bytes", iconClaiming(4096), false,
         "bytes of pixel data, the file holds"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            row.gif ? skin::DecodeGif(row.file) : skin::DecodeIcon(row.file);
            ADD_FAILURE() << "decoded";
        } catch (const skin::SkinError& e) {
            EXPECT_NE(std::string(e.what()).find(row.reason), std::string::npos) << e.what();
        }
    }
}

// Corrupted icons and GIFs decode or fail with SkinError; the sanitizer build sees any stray read.
TEST(IconAndGif, CorruptedFilesNeverReadOutOfBounds) {
    std::vector<bool> mask(12, false);
    const std::vector<std::vector<std::uint8_t>> icons = {
        skintest::BuildIcon({{4, 3, 24, skintest::IconDib(IconColours(4, 3, 2), mask, 24)},
                             {4, 3, 32, skintest::IconDib(IconColours(4, 3, 2), mask, 32)}})};
    std::vector<int> indices(6 * 5, 1);
    const std::vector<std::uint8_t> gif = MakeGif(6, 5, indices, 0, true);
    std::mt19937 random(99);
    for (int round = 0; round < 400; ++round) {
        for (const auto& file : {icons[0], gif}) {
            std::vector<std::uint8_t> bad = file;
            for (int f = 0; f < 1 + static_cast<int>(random() % 3); ++f) {
                bad[random() % bad.size()] = static_cast<std::uint8_t>(random());
            }
            try {
                const Bitmap b = file == gif ? skin::DecodeGif(bad) : skin::DecodeIcon(bad);
                EXPECT_FALSE(b.Empty());
            } catch (const skin::SkinError&) {
            }
        }
    }
}

TEST(LoadPicture, ChoosesTheDecoderByExtension) {
    testsupport::TempFolder dir;
    const Bitmap picture = IconColours(3, 2, 7);
    skin::WriteBmp(picture, dir.Folder() + "a.BMP");
    skintest::WriteBytes(dir.Folder() + "b.gif", MakeGif(2, 1, {1, 3}, -1, false));
    skintest::WriteBytes(
        dir.Folder() + "c.Ico",
        skintest::BuildIcon({{3, 2, 24, skintest::IconDib(picture, std::vector<bool>(6), 24)}}));
    const skin::Picture bmp = skin::LoadPicture(dir.Folder() + "a.BMP");
    EXPECT_EQ(bmp.Format, skin::PictureFormat::Bitmap);
    EXPECT_EQ(bmp.Image, picture);
    EXPECT_EQ(skin::LoadPicture(dir.Folder() + "b.gif").Format, skin::PictureFormat::Gif);
    const skin::Picture ico = skin::LoadPicture(dir.Folder() + "c.Ico");
    EXPECT_EQ(ico.Format, skin::PictureFormat::Icon);
    EXPECT_EQ(ico.Image, picture);
}

TEST(LoadPicture, FailsWithTheFileAndTheReason) {
    testsupport::TempFolder dir;
    skin::WriteBmp(IconColours(1, 1, 1), dir.Folder() + "bitmap.gif");
    skintest::WriteFile(dir.Folder() + "logo.wmf", "metafile");
    skintest::WriteFile(dir.Folder() + "logo.png", "png");
    struct Row {
        const char* file;
        const char* reason;
    };
    const Row rows[] = {{"missing.bmp", "cannot open"},
                        {"logo.wmf", "metafile"},
                        {"logo.png", "unknown picture type"},
                        {"bitmap.gif", "GIF"},
                        {"empty", "unknown picture type"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        try {
            skin::LoadPicture(dir.Folder() + row.file);
            ADD_FAILURE() << "loaded";
        } catch (const skin::SkinError& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find(row.file), std::string::npos) << what;
            EXPECT_NE(what.find(row.reason), std::string::npos) << what;
        }
    }
    EXPECT_EQ(skin::LoadBitmapFile(dir.Folder() + "bitmap.gif"), IconColours(1, 1, 1));
}

}  // namespace
