#pragma once
// The device-independent bitmap inside a BMP file and an icon entry: header, palette, pixels.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "skin/Bitmap.h"
#include "skin/ByteView.h"

namespace skin {

enum DibCompression : std::uint32_t {
    kBiRgb = 0,
    kBiRle8 = 1,
    kBiRle4 = 2,
    kBiBitfields = 3,
    kBiJpeg = 4,
    kBiPng = 5,
    kBiAlphaBitfields = 6,
};

struct DibInfo {
    int Width = 0;
    int Height = 0;  // rows of the colour image (half the header's value inside an icon)
    bool TopDown = false;
    int BitCount = 0;
    std::uint32_t Compression = kBiRgb;
    std::array<std::uint32_t, 3> Masks{};  // red, green, blue for 16 and 32 bits per pixel
    std::vector<Pixel> Palette;
    std::size_t HeaderEnd = 0;  // offset of the first byte after header, masks and palette
};

// Reads the header that starts at offset 0 of dib. paletteEnd bounds the colour table (the
// pixel data offset of a BMP file); inIcon halves the height, which there counts the mask too.
// Throws SkinError for anything malformed or unsupported.
DibInfo ReadDibInfo(const ByteView& dib, std::size_t paletteEnd, bool inIcon);

// Decodes the pixel data that starts at offset 0 of pixels. A 32-bit image without bit fields
// keeps the alpha byte of the file; every other pixel is opaque. consumed receives the bytes
// used, so that an icon's mask can follow.
Bitmap DecodeDibPixels(const ByteView& pixels, const DibInfo& info, std::size_t& consumed);

// Bytes of one row of packed pixels, padded to four bytes.
std::size_t DibStride(int width, int bitCount);

}  // namespace skin
