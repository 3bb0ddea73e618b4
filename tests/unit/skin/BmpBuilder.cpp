#include "BmpBuilder.h"

namespace skintest {

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

namespace {

std::vector<std::uint8_t> InfoHeader(const BmpLayout& layout) {
    std::vector<std::uint8_t> h;
    PutU32(h, layout.headerSize);
    if (layout.headerSize == 12) {
        PutU16(h, static_cast<std::uint32_t>(layout.width));
        PutU16(h, static_cast<std::uint32_t>(layout.height));
        PutU16(h, 1);
        PutU16(h, static_cast<std::uint32_t>(layout.bitCount));
        return h;
    }
    PutU32(h, static_cast<std::uint32_t>(layout.width));
    PutU32(h, static_cast<std::uint32_t>(layout.height));
    PutU16(h, 1);
    PutU16(h, static_cast<std::uint32_t>(layout.bitCount));
    PutU32(h, layout.compression);
    PutU32(h, static_cast<std::uint32_t>(layout.pixels.size()));
    PutU32(h, 2835);
    PutU32(h, 2835);
    PutU32(h, layout.colorsUsed);
    PutU32(h, 0);
    if (layout.headerSize > 40) {
        for (std::uint32_t m : layout.masks) {
            PutU32(h, m);
        }
        h.resize(layout.headerSize, 0);
    } else {
        for (std::uint32_t m : layout.masks) {
            PutU32(h, m);
        }
    }
    return h;
}

}  // namespace

std::vector<std::uint8_t> BuildBmp(const BmpLayout& layout) {
    std::vector<std::uint8_t> body = InfoHeader(layout);
    for (skin::Pixel p : layout.palette) {
        body.push_back(static_cast<std::uint8_t>(skin::BlueOf(p)));
        body.push_back(static_cast<std::uint8_t>(skin::GreenOf(p)));
        body.push_back(static_cast<std::uint8_t>(skin::RedOf(p)));
        if (layout.headerSize != 12) {
            body.push_back(0);
        }
    }
    std::vector<std::uint8_t> file = {'B', 'M'};
    PutU32(file, static_cast<std::uint32_t>(14 + body.size() + layout.pixels.size()));
    PutU32(file, 0);
    PutU32(file, static_cast<std::uint32_t>(14 + body.size()));
    file.insert(file.end(), body.begin(), body.end());
    file.insert(file.end(), layout.pixels.begin(), layout.pixels.end());
    return file;
}

std::vector<std::uint8_t> BuildIcon(const std::vector<IconEntryLayout>& entries) {
    std::vector<std::uint8_t> file;
    PutU16(file, 0);
    PutU16(file, 1);
    PutU16(file, static_cast<std::uint32_t>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const IconEntryLayout& e : entries) {
        file.push_back(static_cast<std::uint8_t>(e.width == 256 ? 0 : e.width));
        file.push_back(static_cast<std::uint8_t>(e.height == 256 ? 0 : e.height));
        file.push_back(0);
        file.push_back(0);
        PutU16(file, 1);
        PutU16(file, static_cast<std::uint32_t>(e.bitCount));
        PutU32(file, static_cast<std::uint32_t>(e.data.size()));
        PutU32(file, offset);
        offset += static_cast<std::uint32_t>(e.data.size());
    }
    for (const IconEntryLayout& e : entries) {
        file.insert(file.end(), e.data.begin(), e.data.end());
    }
    return file;
}

std::vector<std::uint8_t> IconDib(const skin::Bitmap& colour, const std::vector<bool>& mask,
                                  int bitCount) {
    const int w = colour.Width();
    const int h = colour.Height();
    std::vector<std::uint8_t> d;
    PutU32(d, 40);
    PutU32(d, static_cast<std::uint32_t>(w));
    PutU32(d, static_cast<std::uint32_t>(2 * h));
    PutU16(d, 1);
    PutU16(d, static_cast<std::uint32_t>(bitCount));
    for (int i = 0; i < 6; ++i) {
        PutU32(d, 0);
    }
    const std::size_t stride = (static_cast<std::size_t>(w) * bitCount + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
        const std::size_t start = d.size();
        for (int x = 0; x < w; ++x) {
            const skin::Pixel p = colour.At(x, y);
            d.push_back(static_cast<std::uint8_t>(skin::BlueOf(p)));
            d.push_back(static_cast<std::uint8_t>(skin::GreenOf(p)));
            d.push_back(static_cast<std::uint8_t>(skin::RedOf(p)));
            if (bitCount == 32) {
                d.push_back(static_cast<std::uint8_t>(skin::AlphaOf(p)));
            }
        }
        d.resize(start + stride, 0);
    }
    const std::size_t maskStride = (static_cast<std::size_t>(w) + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskStride, 0);
        for (int x = 0; x < w; ++x) {
            if (mask[static_cast<std::size_t>(y * w + x)]) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        d.insert(d.end(), row.begin(), row.end());
    }
    return d;
}

}  // namespace skintest
