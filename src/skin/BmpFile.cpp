#include "skin/BmpFile.h"

#include <fstream>

#include "skin/ByteView.h"
#include "skin/Dib.h"
#include "skin/SkinError.h"

namespace skin {

namespace {

constexpr std::size_t kFileHeader = 14;

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFFu);
    PutU16(out, v >> 16);
}

}  // namespace

Bitmap DecodeBmp(const std::vector<std::uint8_t>& file) {
    const ByteView view(file.data(), file.size(), "BMP: ");
    if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') {
        view.Fail("not a bitmap file");
    }
    const std::uint32_t offBits = view.U32(10);
    const ByteView dib = view.Sub(kFileHeader, file.size() - kFileHeader);
    const std::size_t paletteEnd = offBits > kFileHeader ? offBits - kFileHeader : 0;
    const DibInfo info = ReadDibInfo(dib, paletteEnd, false);
    // A missing or impossible data offset falls back to the data right after the palette.
    std::size_t pixelsAt = kFileHeader + info.HeaderEnd;
    if (offBits >= kFileHeader + dib.U32(0)) {
        pixelsAt = offBits;
    }
    if (pixelsAt >= file.size()) {
        view.Fail("truncated file");
    }
    std::size_t consumed = 0;
    Bitmap image = DecodeDibPixels(view.Sub(pixelsAt, file.size() - pixelsAt), info, consumed);
    for (int y = 0; y < image.Height(); ++y) {
        Pixel* row = image.Row(y);
        for (int x = 0; x < image.Width(); ++x) {
            row[x] |= 0xFF000000u;
        }
    }
    return image;
}

std::vector<std::uint8_t> EncodeBmp(const Bitmap& bitmap, int bitCount) {
    if (bitCount != 24 && bitCount != 32) {
        throw SkinError("BMP writer: only 24 or 32 bits per pixel");
    }
    const std::size_t stride = DibStride(bitmap.Width(), bitCount);
    const std::size_t dataSize = stride * static_cast<std::size_t>(bitmap.Height());
    std::vector<std::uint8_t> out;
    out.reserve(kFileHeader + 40 + dataSize);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, static_cast<std::uint32_t>(kFileHeader + 40 + dataSize));
    PutU32(out, 0);
    PutU32(out, kFileHeader + 40);
    PutU32(out, 40);
    PutU32(out, static_cast<std::uint32_t>(bitmap.Width()));
    PutU32(out, static_cast<std::uint32_t>(bitmap.Height()));
    PutU16(out, 1);
    PutU16(out, static_cast<std::uint32_t>(bitCount));
    PutU32(out, 0);
    PutU32(out, static_cast<std::uint32_t>(dataSize));
    PutU32(out, 2835);
    PutU32(out, 2835);
    PutU32(out, 0);
    PutU32(out, 0);
    for (int y = bitmap.Height() - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        for (int x = 0; x < bitmap.Width(); ++x) {
            const Pixel p = bitmap.At(x, y);
            out.push_back(static_cast<std::uint8_t>(BlueOf(p)));
            out.push_back(static_cast<std::uint8_t>(GreenOf(p)));
            out.push_back(static_cast<std::uint8_t>(RedOf(p)));
            if (bitCount == 32) {
                out.push_back(static_cast<std::uint8_t>(AlphaOf(p)));
            }
        }
        out.resize(rowStart + stride, 0);
    }
    return out;
}

void WriteBmp(const Bitmap& bitmap, const std::string& path, int bitCount) {
    const std::vector<std::uint8_t> bytes = EncodeBmp(bitmap, bitCount);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        throw SkinError("cannot write " + path);
    }
}

}  // namespace skin
