#pragma once
// Bitmap (BMP) files: our decoder and the writer used by the tools and the tests.
#include <cstdint>
#include <string>
#include <vector>

#include "skin/Bitmap.h"

namespace skin {

// Decodes a whole BMP file: 1, 4, 8, 16, 24 and 32 bits per pixel, palettes, bit fields,
// RLE4 and RLE8, bottom-up and top-down rows, the old 12-byte header and the later ones.
// The result is opaque. Throws SkinError with the reason for anything it cannot decode.
Bitmap DecodeBmp(const std::vector<std::uint8_t>& file);

// A 24-bit (or 32-bit) bottom-up BMP file of the bitmap; alpha is dropped at 24 bits.
std::vector<std::uint8_t> EncodeBmp(const Bitmap& bitmap, int bitCount = 24);

// Writes EncodeBmp's bytes to path; throws SkinError when the file cannot be written.
void WriteBmp(const Bitmap& bitmap, const std::string& path, int bitCount = 24);

}  // namespace skin
