#pragma once
// Builds BMP files byte by byte for the decoder tests, including malformed ones.
#include <cstdint>
#include <vector>

#include "skin/Bitmap.h"

namespace skintest {

struct BmpLayout {
    std::uint32_t headerSize = 40;
    int width = 0;
    int height = 0;
    int bitCount = 24;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> masks;  // written after a 40-byte header, inside a larger one
    std::vector<skin::Pixel> palette;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint8_t> pixels;
};

std::vector<std::uint8_t> BuildBmp(const BmpLayout& layout);

// An icon file with the given entries, each a complete DIB (header, palette, colour, mask) or
// other bytes such as a PNG signature.
struct IconEntryLayout {
    int width;
    int height;
    int bitCount;
    std::vector<std::uint8_t> data;
};
std::vector<std::uint8_t> BuildIcon(const std::vector<IconEntryLayout>& entries);

// The DIB of an icon entry: a bottom-up 24 or 32-bit colour image plus its 1-bit mask
// (mask[y * width + x] true = transparent), rows given top to bottom.
std::vector<std::uint8_t> IconDib(const skin::Bitmap& colour, const std::vector<bool>& mask,
                                  int bitCount);

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v);
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v);

}  // namespace skintest
