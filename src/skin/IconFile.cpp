#include "skin/IconFile.h"

#include <string>

#include "skin/ByteView.h"
#include "skin/Dib.h"

namespace skin {

namespace {

constexpr std::size_t kDirHeader = 6;
constexpr std::size_t kDirEntry = 16;

struct Entry {
    long long area = 0;
    int bitCount = 0;
    std::size_t offset = 0;
    std::size_t size = 0;
};

bool IsPng(const ByteView& data) {
    return data.Has(0, 4) && data.U8(0) == 0x89 && data.U8(1) == 'P' && data.U8(2) == 'N' &&
           data.U8(3) == 'G';
}

void ApplyMask(const ByteView& mask, const DibInfo& info, Bitmap& image) {
    const std::size_t stride = DibStride(info.Width, 1);
    mask.Require(0, stride * static_cast<std::size_t>(info.Height));
    for (int r = 0; r < info.Height; ++r) {
        const int y = info.TopDown ? r : info.Height - 1 - r;
        for (int x = 0; x < info.Width; ++x) {
            const unsigned bits = mask.U8(stride * static_cast<std::size_t>(r) + (x >> 3));
            const bool transparent = (bits >> (7 - (x & 7))) & 1u;
            const Pixel p = image.At(x, y);
            image.Set(x, y, transparent ? kTransparentPixel : (p | 0xFF000000u));
        }
    }
}

// 32-bit entries that carry alpha use it (half transparent counts as transparent, since skin
// pictures are drawn with plain transparency); all others rely on the mask.
bool UseAlpha(const DibInfo& info, Bitmap& image) {
    if (info.BitCount != 32) {
        return false;
    }
    bool any = false;
    for (int y = 0; y < image.Height() && !any; ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            if (AlphaOf(image.At(x, y)) != 0) {
                any = true;
                break;
            }
        }
    }
    if (!any) {
        return false;
    }
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Pixel p = image.At(x, y);
            image.Set(x, y, AlphaOf(p) < 128 ? kTransparentPixel : (p | 0xFF000000u));
        }
    }
    return true;
}

}  // namespace

Bitmap DecodeIcon(const std::vector<std::uint8_t>& file) {
    const ByteView view(file.data(), file.size(), "ICO: ");
    if (file.size() < kDirHeader || view.U16(0) != 0 || (view.U16(2) != 1 && view.U16(2) != 2)) {
        view.Fail("not an icon file");
    }
    const unsigned count = view.U16(4);
    if (count == 0) {
        view.Fail("the icon holds no picture");
    }
    Entry best;
    bool found = false;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t at = kDirHeader + i * kDirEntry;
        Entry e;
        const int width = view.U8(at) == 0 ? 256 : view.U8(at);
        const int height = view.U8(at + 1) == 0 ? 256 : view.U8(at + 1);
        e.area = static_cast<long long>(width) * height;
        e.bitCount = view.U16(at + 6);
        e.size = view.U32(at + 8);
        e.offset = view.U32(at + 12);
        if (!view.Has(e.offset, e.size) || IsPng(view.Sub(e.offset, e.size))) {
            continue;
        }
        if (!found || e.area > best.area || (e.area == best.area && e.bitCount > best.bitCount)) {
            best = e;
            found = true;
        }
    }
    if (!found) {
        view.Fail("no bitmap entry inside the file");
    }
    const ByteView dib = view.Sub(best.offset, best.size);
    const DibInfo info = ReadDibInfo(dib, 0, true);
    if (info.Compression != kBiRgb) {
        dib.Fail("compressed icon entries are not supported");
    }
    if (info.HeaderEnd >= dib.Size()) {
        dib.Fail("truncated file");
    }
    const ByteView pixels = dib.Sub(info.HeaderEnd, dib.Size() - info.HeaderEnd);
    std::size_t consumed = 0;
    Bitmap image = DecodeDibPixels(pixels, info, consumed);
    if (!UseAlpha(info, image)) {
        if (consumed > pixels.Size()) {
            pixels.Fail("truncated file");
        }
        ApplyMask(pixels.Sub(consumed, pixels.Size() - consumed), info, image);
    }
    return image;
}

}  // namespace skin
