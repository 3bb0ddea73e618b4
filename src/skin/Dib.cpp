#include "skin/Dib.h"

#include <bit>
#include <string>

namespace skin {

namespace {

constexpr std::size_t kCoreHeader = 12;
constexpr std::size_t kInfoHeader = 40;

struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t maxValue = 0;
};

Channel ChannelOf(std::uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (mask == 0) {
        return c;
    }
    c.shift = std::countr_zero(mask);
    // Only the lowest contiguous run of the mask is used; a mask with holes is malformed anyway.
    const std::uint32_t shifted = mask >> c.shift;
    const int bits = std::countr_one(shifted);
    c.maxValue = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1u);
    return c;
}

unsigned Scale(std::uint32_t raw, const Channel& c) {
    if (c.maxValue == 0) {
        return 0;
    }
    const std::uint64_t value = (raw & c.mask) >> c.shift & c.maxValue;
    return static_cast<unsigned>((value * 255u + c.maxValue / 2) / c.maxValue);
}

bool ValidBitCount(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::vector<Pixel> ReadPalette(const ByteView& dib, std::size_t at, std::size_t count,
                               std::size_t entrySize) {
    std::vector<Pixel> palette;
    palette.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t e = at + i * entrySize;
        palette.push_back(Rgb(dib.U8(e + 2), dib.U8(e + 1), dib.U8(e)));
    }
    return palette;
}

Pixel PaletteColour(const DibInfo& info, unsigned index) {
    // An index past the colour table shows black rather than reading beyond it.
    return index < info.Palette.size() ? info.Palette[index] : Rgb(0, 0, 0);
}

// Maps a row in file order to the row of the picture.
int PictureRow(const DibInfo& info, int fileRow) {
    return info.TopDown ? fileRow : info.Height - 1 - fileRow;
}

void DecodePacked(const ByteView& pixels, const DibInfo& info, Bitmap& out, std::size_t& consumed) {
    const std::size_t stride = DibStride(info.Width, info.BitCount);
    const bool fields = info.Compression == kBiBitfields || info.Compression == kBiAlphaBitfields;
    std::array<Channel, 3> channels{};
    if (info.BitCount == 16 || info.BitCount == 32) {
        std::array<std::uint32_t, 3> masks = info.Masks;
        if (!fields) {
            masks = info.BitCount == 16 ? std::array<std::uint32_t, 3>{0x7C00u, 0x03E0u, 0x001Fu}
                                        : std::array<std::uint32_t, 3>{0xFF0000u, 0xFF00u, 0xFFu};
        }
        for (int i = 0; i < 3; ++i) {
            channels[i] = ChannelOf(masks[i]);
        }
    }
    const std::uint8_t* base = pixels.Data();
    for (int r = 0; r < info.Height; ++r) {
        const std::uint8_t* row = base + stride * static_cast<std::size_t>(r);
        Pixel* dest = out.Row(PictureRow(info, r));
        for (int x = 0; x < info.Width; ++x) {
            Pixel p = 0;
            switch (info.BitCount) {
                case 1:
                    p = PaletteColour(info, (row[x >> 3] >> (7 - (x & 7))) & 1u);
                    break;
                case 4:
                    p = PaletteColour(info, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu);
                    break;
                case 8:
                    p = PaletteColour(info, row[x]);
                    break;
                case 16: {
                    const std::uint32_t v = row[2 * x] | (row[2 * x + 1] << 8);
                    p = Rgb(Scale(v, channels[0]), Scale(v, channels[1]), Scale(v, channels[2]));
                    break;
                }
                case 24:
                    p = Rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                    break;
                default: {
                    const std::uint8_t* q = row + 4 * static_cast<std::size_t>(x);
                    const std::uint32_t v = q[0] | (q[1] << 8) | (q[2] << 16) |
                                            (static_cast<std::uint32_t>(q[3]) << 24);
                    p = Rgb(Scale(v, channels[0]), Scale(v, channels[1]), Scale(v, channels[2]));
                    if (!fields) {
                        p = (p & 0x00FFFFFFu) | (static_cast<std::uint32_t>(q[3]) << 24);
                    }
                    break;
                }
            }
            dest[x] = p;
        }
    }
    consumed = stride * static_cast<std::size_t>(info.Height);
}

// Run-length data: pairs of (count, index) and escapes for end of line, end of picture,
// a jump and a literal run. Pixels outside the picture are dropped; pixels that the data
// never reaches keep the first palette colour. Data that ends between two pairs ends the
// picture; data that ends inside a pair or a literal run is a truncated file.
void DecodeRle(const ByteView& pixels, const DibInfo& info, Bitmap& out, std::size_t& consumed) {
    const bool four = info.Compression == kBiRle4;
    out.Fill(PaletteColour(info, 0));
    int x = 0;
    int fileRow = 0;
    std::size_t at = 0;
    auto put = [&](unsigned index) {
        if (x < info.Width && fileRow < info.Height) {
            out.Set(x, PictureRow(info, fileRow), PaletteColour(info, index));
        }
        ++x;
    };
    while (at < pixels.Size() && fileRow < info.Height) {
        const unsigned count = pixels.U8(at);
        const unsigned value = pixels.U8(at + 1);
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && x < info.Width; ++i) {
                put(four ? ((i & 1) ? value & 0xFu : value >> 4) : value);
            }
            continue;
        }
        if (value == 0) {
            x = 0;
            ++fileRow;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            x += pixels.U8(at);
            fileRow += pixels.U8(at + 1);
            at += 2;
        } else {
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            pixels.Require(at, bytes);
            for (unsigned i = 0; i < value; ++i) {
                const unsigned b = pixels.U8(at + (four ? i / 2 : i));
                put(four ? ((i & 1) ? b & 0xFu : b >> 4) : b);
            }
            at += (bytes + 1) & ~static_cast<std::size_t>(1);
        }
        if (x > info.Width) {
            x = info.Width;
        }
    }
    consumed = at < pixels.Size() ? at : pixels.Size();
}

}  // namespace

std::size_t DibStride(int width, int bitCount) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32 * 4;
}

DibInfo ReadDibInfo(const ByteView& dib, std::size_t paletteEnd, bool inIcon) {
    DibInfo info;
    const std::uint32_t headerSize = dib.U32(0);
    long long height = 0;
    std::size_t entrySize = 4;
    if (headerSize == kCoreHeader) {
        info.Width = dib.U16(4);
        height = dib.U16(6);
        info.BitCount = dib.U16(10);
        entrySize = 3;
    } else if (headerSize >= kInfoHeader && headerSize <= 4096) {
        info.Width = dib.I32(4);
        height = dib.I32(8);
        info.BitCount = dib.U16(14);
        info.Compression = dib.U32(16);
    } else {
        dib.Fail("unknown bitmap header size " + std::to_string(headerSize));
    }
    if (height < 0) {
        info.TopDown = true;
        height = -height;
    }
    if (inIcon) {
        height /= 2;
    }
    if (info.Width <= 0 || height <= 0 || info.Width > kMaxPictureSide ||
        height > kMaxPictureSide ||
        static_cast<long long>(info.Width) * height > kMaxPicturePixels) {
        dib.Fail("picture size " + std::to_string(info.Width) + " x " + std::to_string(height) +
                 " is out of range");
    }
    info.Height = static_cast<int>(height);
    if (!ValidBitCount(info.BitCount)) {
        dib.Fail("unsupported bit depth " + std::to_string(info.BitCount));
    }
    switch (info.Compression) {
        case kBiRgb:
            break;
        case kBiRle8:
        case kBiRle4:
            if (info.BitCount != (info.Compression == kBiRle8 ? 8 : 4) || inIcon) {
                dib.Fail("run-length compression does not match the bit depth");
            }
            break;
        case kBiBitfields:
        case kBiAlphaBitfields:
            if (info.BitCount != 16 && info.BitCount != 32) {
                dib.Fail("bit fields need 16 or 32 bits per pixel");
            }
            break;
        case kBiJpeg:
        case kBiPng:
            dib.Fail("embedded JPEG or PNG data is not supported");
        default:
            dib.Fail("unknown compression " + std::to_string(info.Compression));
    }
    std::size_t at = headerSize;
    if (info.Compression == kBiBitfields || info.Compression == kBiAlphaBitfields) {
        // Version 2 and later headers hold the masks; a plain info header is followed by them.
        const std::size_t masksAt = headerSize >= 52 ? 40 : headerSize;
        for (std::size_t i = 0; i < 3; ++i) {
            info.Masks[i] = dib.U32(masksAt + 4 * i);
        }
        if (headerSize < 52) {
            at += info.Compression == kBiAlphaBitfields ? 16 : 12;
        }
    }
    if (info.BitCount <= 8) {
        std::size_t count = std::size_t{1} << info.BitCount;
        if (headerSize >= kInfoHeader) {
            const std::uint32_t used = dib.U32(32);
            if (used != 0 && used < count) {
                count = used;
            }
        }
        // Old writers give fewer entries than the depth allows and put the pixels right after.
        if (paletteEnd > at && (paletteEnd - at) / entrySize < count) {
            count = (paletteEnd - at) / entrySize;
        }
        info.Palette = ReadPalette(dib, at, count, entrySize);
        at += count * entrySize;
    }
    info.HeaderEnd = at;
    return info;
}

Bitmap DecodeDibPixels(const ByteView& pixels, const DibInfo& info, std::size_t& consumed) {
    // The size the header claims is checked against the data before any pixel is allocated.
    const long long claimed = static_cast<long long>(info.Width) * info.Height;
    const std::string size = std::to_string(info.Width) + " x " + std::to_string(info.Height);
    const bool rle = info.Compression == kBiRle8 || info.Compression == kBiRle4;
    if (rle) {
        if (!PlausiblePixelCount(claimed, pixels.Size())) {
            pixels.Fail("a picture of " + size + " pixels cannot come from " +
                        std::to_string(pixels.Size()) + " bytes of run-length data");
        }
    } else {
        const std::size_t rowBytes = (static_cast<std::size_t>(info.Width) * info.BitCount + 7) / 8;
        // The last row may lack its padding; any other shortfall is a truncated file.
        const std::size_t needed =
            DibStride(info.Width, info.BitCount) * (static_cast<std::size_t>(info.Height) - 1) +
            rowBytes;
        if (!pixels.Has(0, needed)) {
            pixels.Fail("truncated file: a picture of " + size + " pixels needs " +
                        std::to_string(needed) + " bytes of pixel data, the file holds " +
                        std::to_string(pixels.Size()));
        }
    }
    Bitmap out(info.Width, info.Height);
    if (rle) {
        DecodeRle(pixels, info, out, consumed);
    } else {
        DecodePacked(pixels, info, out, consumed);
    }
    return out;
}

}  // namespace skin
