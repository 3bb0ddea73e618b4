#include "skin/Region.h"

#include <algorithm>

namespace skin {

namespace {

struct Band {
    unsigned low;
    unsigned high;
    bool Holds(unsigned v) const { return v >= low && v <= high; }
};

Band BandOf(unsigned key, unsigned tolerance) {
    return {key, std::min(255u, key + tolerance)};
}

}  // namespace

bool Region::Contains(int x, int y) const {
    return std::any_of(m_rects.begin(), m_rects.end(), [&](const Rect& r) {
        return x >= r.Left && x < r.Left + r.Width && y >= r.Top && y < r.Top + r.Height;
    });
}

Rect Region::BoundingBox() const {
    if (m_rects.empty()) {
        return {};
    }
    int left = m_rects.front().Left;
    int top = m_rects.front().Top;
    int right = left + m_rects.front().Width;
    int bottom = top + m_rects.front().Height;
    for (const Rect& r : m_rects) {
        left = std::min(left, r.Left);
        top = std::min(top, r.Top);
        right = std::max(right, r.Left + r.Width);
        bottom = std::max(bottom, r.Top + r.Height);
    }
    return {left, top, right - left, bottom - top};
}

std::optional<Region> RegionFromBitmap(const Bitmap& bitmap, Pixel keyColour, Pixel tolerance) {
    if (bitmap.Empty()) {
        return std::nullopt;
    }
    const Band red = BandOf(RedOf(keyColour), RedOf(tolerance));
    const Band green = BandOf(GreenOf(keyColour), GreenOf(tolerance));
    const Band blue = BandOf(BlueOf(keyColour), BlueOf(tolerance));
    const bool exact = (tolerance & 0x00FFFFFFu) == 0;
    auto transparent = [&](Pixel p) {
        if (exact) {
            return SameRgb(p, keyColour);
        }
        return red.Holds(RedOf(p)) && green.Holds(GreenOf(p)) && blue.Holds(BlueOf(p));
    };
    std::vector<Rect> rects;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const Pixel* row = bitmap.Row(y);
        int x = 0;
        while (x < bitmap.Width()) {
            while (x < bitmap.Width() && transparent(row[x])) {
                ++x;
            }
            const int start = x;
            while (x < bitmap.Width() && !transparent(row[x])) {
                ++x;
            }
            if (x > start) {
                rects.push_back({start, y, x - start, 1});
            }
        }
    }
    return Region(std::move(rects));
}

}  // namespace skin
