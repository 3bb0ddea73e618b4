#pragma once
// Window outlines: the opaque pixels of a picture as rectangles one pixel high.
#include <optional>
#include <vector>

#include "skin/Bitmap.h"

namespace skin {

struct Rect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The union of disjoint rectangles, in scan order (top to bottom, left to right).
class Region {
public:
    explicit Region(std::vector<Rect> rects) : m_rects(std::move(rects)) {}
    const std::vector<Rect>& Rects() const { return m_rects; }
    bool Contains(int x, int y) const;
    // The smallest rectangle around every part; all zero for an empty region.
    Rect BoundingBox() const;

private:
    std::vector<Rect> m_rects;
};

// A pixel is transparent when each of its red, green and blue components lies between the key
// colour's and that plus the tolerance's component (capped at 255). Every run of other pixels
// of a row becomes one rectangle. An empty bitmap gives no region at all.
std::optional<Region> RegionFromBitmap(const Bitmap& bitmap, Pixel keyColour, Pixel tolerance);

}  // namespace skin
