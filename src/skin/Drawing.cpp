#include "skin/Drawing.h"

#include <algorithm>

namespace skin {

namespace {

// Clips a block against both bitmaps; false when nothing is left.
bool Clip(const Bitmap& dest, int& dx, int& dy, const Bitmap& source, int& sx, int& sy, int& w,
          int& h) {
    auto clipAxis = [](int& d, int& s, int& len, int destSize, int sourceSize) {
        if (d < 0) {
            s -= d;
            len += d;
            d = 0;
        }
        if (s < 0) {
            d -= s;
            len += s;
            s = 0;
        }
        len = std::min({len, destSize - d, sourceSize - s});
    };
    clipAxis(dx, sx, w, dest.Width(), source.Width());
    clipAxis(dy, sy, h, dest.Height(), source.Height());
    return w > 0 && h > 0;
}

template <typename Skip>
void Blend(Bitmap& dest, int x, int y, const Bitmap& source, Skip skip) {
    int sx = 0;
    int sy = 0;
    int w = source.Width();
    int h = source.Height();
    if (!Clip(dest, x, y, source, sx, sy, w, h)) {
        return;
    }
    for (int row = 0; row < h; ++row) {
        const Pixel* from = source.Row(sy + row) + sx;
        Pixel* to = dest.Row(y + row) + x;
        for (int i = 0; i < w; ++i) {
            if (!skip(from[i])) {
                to[i] = from[i] | 0xFF000000u;
            }
        }
    }
}

}  // namespace

void CopyRect(Bitmap& dest, int dx, int dy, const Bitmap& source, int sx, int sy, int w, int h) {
    if (!Clip(dest, dx, dy, source, sx, sy, w, h)) {
        return;
    }
    for (int row = 0; row < h; ++row) {
        std::copy_n(source.Row(sy + row) + sx, w, dest.Row(dy + row) + dx);
    }
}

void DrawTransparent(Bitmap& dest, int x, int y, const Bitmap& source, Pixel keyColour) {
    Blend(dest, x, y, source,
          [keyColour](Pixel p) { return AlphaOf(p) == 0 || SameRgb(p, keyColour); });
}

bool TransparentColourOf(const Picture& picture, Pixel& colour) {
    if (picture.Format != PictureFormat::Bitmap || picture.Empty()) {
        return false;
    }
    colour = picture.Image.At(0, picture.Height() - 1);
    return true;
}

void DrawPictureTransparent(Bitmap& dest, int x, int y, const Picture& picture) {
    Pixel key = 0;
    if (TransparentColourOf(picture, key)) {
        DrawTransparent(dest, x, y, picture.Image, key);
    } else {
        Blend(dest, x, y, picture.Image, [](Pixel p) { return AlphaOf(p) == 0; });
    }
}

}  // namespace skin
