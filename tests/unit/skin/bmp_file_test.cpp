#include <gtest/gtest.h>

#include <random>

#include "BmpBuilder.h"
#include "SkinTestSupport.h"
#include "skin/BmpFile.h"
#include "skin/SkinError.h"

namespace {

using skin::Bitmap;
using skin::Pixel;
using skin::Rgb;
using skintest::BmpLayout;
using skintest::BuildBmp;

const Pixel kBlack = Rgb(0, 0, 0);
const Pixel kWhite = Rgb(255, 255, 255);
const Pixel kRed = Rgb(255, 0, 0);
const Pixel kGreen = Rgb(0, 255, 0);
const Pixel kBlue = Rgb(0, 0, 255);

struct DecodeRow {
    const char* name;
    BmpLayout layout;
    int width;
    std::vector<Pixel> expected;  // top row first
};

Bitmap Expected(int width, const std::vector<Pixel>& pixels) {
    Bitmap b(width, static_cast<int>(pixels.size()) / width);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        b.Set(static_cast<int>(i) % width, static_cast<int>(i) / width, pixels[i]);
    }
    return b;
}

std::vector<DecodeRow> DecodeRows() {
    const std::vector<Pixel> three = {kRed, kGreen, kBlue};
    return {
        {"1 bit, bottom-up",
         {40, 3, 2, 1, 0, {}, {kBlack, kWhite}, 0, {0xA0, 0, 0, 0, 0x60, 0, 0, 0}},
         3,
         {kBlack, kWhite, kWhite, kWhite, kBlack, kWhite}},
        {"4 bits, short palette",
         {40, 3, 2, 4, 0, {}, three, 3, {0x21, 0x00, 0, 0, 0x01, 0x20, 0, 0}},
         3,
         {kRed, kGreen, kBlue, kBlue, kGreen, kRed}},
        {"8 bits",
         {40, 3, 2, 8, 0, {}, three, 3, {2, 2, 2, 0, 0, 1, 2, 0}},
         3,
         {kRed, kGreen, kBlue, kBlue, kBlue, kBlue}},
        {"8 bits, index past the palette shows black",
         {40, 1, 1, 8, 0, {}, three, 3, {200, 0, 0, 0}},
         1,
         {kBlack}},
        {"8 bits, old 12-byte header and 3-byte palette",
         {12, 2, 1, 8, 0, {}, std::vector<Pixel>(256, kGreen), 0, {0, 0, 0, 0}},
         2,
         {kGreen, kGreen}},
        {"16 bits, 5-5-5",
         {40, 2, 1, 16, 0, {}, {}, 0, {0x00, 0x7C, 0x10, 0x42}},
         2,
         {kRed, Rgb(132, 132, 132)}},
        {"16 bits, 5-6-5 bit fields",
         {40,
          3,
          1,
          16,
          3,
          {0xF800, 0x07E0, 0x001F},
          {},
          0,
          {0xE0, 0x07, 0x1F, 0x00, 0x00, 0xF8, 0, 0}},
         3,
         {kGreen, kBlue, kRed}},
        {"24 bits, bottom-up",
         {40, 1, 2, 24, 0, {}, {}, 0, {0xFF, 0, 0, 0, 0, 0, 0xFF, 0}},
         1,
         {kRed, kBlue}},
        {"24 bits, top-down",
         {40, 1, -2, 24, 0, {}, {}, 0, {0xFF, 0, 0, 0, 0, 0, 0xFF, 0}},
         1,
         {kBlue, kRed}},
        {"24 bits, last row without its padding",
         {40, 1, 2, 24, 0, {}, {}, 0, {0xFF, 0, 0, 0, 0, 0, 0xFF}},
         1,
         {kRed, kBlue}},
        {"32 bits, alpha byte ignored",
         {40, 2, 1, 32, 0, {}, {}, 0, {0, 0, 0xFF, 0x00, 0xFF, 0, 0, 0x80}},
         2,
         {kRed, kBlue}},
        {"32 bits, swapped bit fields",
         {40, 1, 1, 32, 3, {0xFF, 0xFF00, 0xFF0000}, {}, 0, {0xFF, 0, 0, 0}},
         1,
         {kRed}},
        {"32 bits, bit fields inside a version 4 header",
         {108, 1, 1, 32, 3, {0xFF, 0xFF00, 0xFF0000}, {}, 0, {0, 0, 0xFF, 0}},
         1,
         {kBlue}},
        {"RLE8: run, end of line, literal run, end of picture",
         {40, 4, 2, 8, 1, {}, three, 3, {2, 1, 0, 0, 0, 3, 2, 1, 2, 0, 0, 1}},
         4,
         {kBlue, kGreen, kBlue, kRed, kGreen, kGreen, kRed, kRed}},
        {"RLE8: jump, and a run clipped at the row's end",
         {40, 3, 2, 8, 1, {}, three, 3, {0, 2, 1, 1, 9, 2, 0, 1}},
         3,
         {kRed, kBlue, kBlue, kRed, kRed, kRed}},
        {"RLE8: data ending between pairs ends the picture",
         {40, 2, 1, 8, 1, {}, three, 3, {1, 2}},
         2,
         {kBlue, kRed}},
        {"RLE4: run alternating two indices",
         {40, 4, 1, 4, 2, {}, three, 3, {3, 0x12, 0, 1}},
         4,
         {kGreen, kBlue, kGreen, kRed}},
        {"RLE4: literal run of three nibbles",
         {40, 3, 1, 4, 2, {}, three, 3, {0, 3, 0x21, 0x00, 0, 1}},
         3,
         {kBlue, kGreen, kRed}},
    };
}

TEST(DecodeBmp, DecodesEveryDepthAndLayout) {
    for (const DecodeRow& row : DecodeRows()) {
        SCOPED_TRACE(row.name);
        Bitmap decoded;
        ASSERT_NO_THROW(decoded = skin::DecodeBmp(BuildBmp(row.layout)));
        EXPECT_EQ(decoded, Expected(row.width, row.expected));
    }
}

struct FailRow {
    const char* name;
    std::vector<std::uint8_t> file;
    const char* reason;
};

std::vector<std::uint8_t> Bmp24(int width, int height, std::size_t bytes) {
    return BuildBmp({40, width, height, 24, 0, {}, {}, 0, std::vector<std::uint8_t>(bytes, 7)});
}

// A 68-byte RLE8 file: one palette entry and five end-of-line codes.
std::vector<std::uint8_t> Rle8EndsOfLine(int side) {
    std::vector<std::uint8_t> file =
        BuildBmp({40, side, side, 8, 1, {}, {kBlack}, 1, std::vector<std::uint8_t>(10, 0)});
    EXPECT_EQ(file.size(), 68u);
    return file;
}

TEST(DecodeBmp, RejectsMalformedFilesWithAReason) {
    std::vector<std::uint8_t> badOffset = Bmp24(1, 1, 4);
    std::vector<std::uint8_t> cutHeader = Bmp24(1, 1, 4);
    cutHeader.resize(30);
    badOffset[10] = 0xF0;
    badOffset[11] = 0xFF;
    const std::vector<FailRow> rows = {
        {"empty file", {}, "not a bitmap file"},
        {"other signature", {'G', 'I', 'F', '8', '9', 'a'}, "not a bitmap file"},
        {"signature only", {'B', 'M'}, "truncated"},
        {"header cut short", cutHeader, "truncated"},
        {"unknown header size", BuildBmp({64000, 1, 1, 24, 0, {}, {}, 0, {0, 0, 0, 0}}),
         "header size"},
        {"zero width", Bmp24(0, 1, 4), "out of range"},
        {"negative width", Bmp24(-3, 1, 4), "out of range"},
        {"huge height", Bmp24(1, 2000000, 4), "out of range"},
        {"too many pixels", Bmp24(30000, 30000, 4), "out of range"},
        {"2 bits per pixel", BuildBmp({40, 1, 1, 2, 0, {}, {}, 0, {0, 0, 0, 0}}), "bit depth 2"},
        {"JPEG inside", BuildBmp({40, 1, 1, 24, 4, {}, {}, 0, {0, 0, 0, 0}}), "JPEG"},
        {"RLE8 at 24 bits", BuildBmp({40, 1, 1, 24, 1, {}, {}, 0, {0, 0, 0, 0}}), "run-length"},
        {"bit fields at 24 bits", BuildBmp({40, 1, 1, 24, 3, {1, 2, 4}, {}, 0, {0, 0, 0, 0}}),
         "bit fields"},
        {"unknown compression", BuildBmp({40, 1, 1, 24, 99, {}, {}, 0, {0, 0, 0, 0}}),
         "compression"},
        {"pixel rows cut short", Bmp24(2, 2, 10), "truncated"},
        {"data offset past the end", badOffset, "truncated"},
        {"RLE literal run past the data", BuildBmp({40, 4, 1, 8, 1, {}, {kRed}, 1, {0, 4, 0}}),
         "truncated"},
        {"RLE jump cut short", BuildBmp({40, 4, 1, 8, 1, {}, {kRed}, 1, {0, 2, 1}}), "truncated"},
        // A downloaded skin's 68 bytes must not cost hundreds of megabytes.
        {"RLE8 of 68 bytes claiming 8192 x 8192", Rle8EndsOfLine(8192), "out of range"},
        {"RLE8 of 68 bytes claiming 4096 x 4096", Rle8EndsOfLine(4096),
         "cannot come from 10 bytes"},
        {"24 bits claiming 4096 x 4096 over 16 bytes", Bmp24(4096, 4096, 16), "the file holds 16"},
    };
    for (const FailRow& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            skin::DecodeBmp(row.file);
            ADD_FAILURE() << "decoded";
        } catch (const skin::SkinError& e) {
            EXPECT_NE(std::string(e.what()).find(row.reason), std::string::npos) << e.what();
        }
    }
}

// Every prefix and many corruptions of valid files either decode or fail with SkinError;
// under the address sanitizer this also proves that nothing is read out of bounds.
TEST(DecodeBmp, TruncatedAndCorruptedFilesNeverReadOutOfBounds) {
    std::vector<std::vector<std::uint8_t>> files;
    for (const DecodeRow& row : DecodeRows()) {
        files.push_back(BuildBmp(row.layout));
    }
    std::mt19937 random(1234);
    for (const auto& file : files) {
        for (std::size_t n = 0; n <= file.size(); ++n) {
            const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<long>(n));
            try {
                skin::DecodeBmp(cut);
            } catch (const skin::SkinError&) {
            }
        }
        for (int round = 0; round < 300; ++round) {
            std::vector<std::uint8_t> bad = file;
            const int flips = 1 + static_cast<int>(random() % 4);
            for (int f = 0; f < flips; ++f) {
                bad[random() % bad.size()] = static_cast<std::uint8_t>(random());
            }
            try {
                const Bitmap b = skin::DecodeBmp(bad);
                EXPECT_LE(static_cast<long long>(b.Width()) * b.Height(), skin::kMaxPicturePixels);
            } catch (const skin::SkinError&) {
            }
        }
    }
}

TEST(EncodeBmp, WritesWhatTheDecoderReadsBack) {
    const Bitmap picture = skintest::TaggedBitmap(5, 3, 9);
    for (int bits : {24, 32}) {
        SCOPED_TRACE(bits);
        EXPECT_EQ(skin::DecodeBmp(skin::EncodeBmp(picture, bits)), picture);
    }
    EXPECT_THROW(skin::EncodeBmp(picture, 8), skin::SkinError);
}

}  // namespace
