#include "ui/controls/Pictures.h"

#include <cstring>
#include <vector>

#include "skin/Drawing.h"

namespace ui {

QImage ToQImage(const skin::Bitmap& bitmap) {
    if (bitmap.Empty()) {
        return {};
    }
    // skin::Pixel is 0xAARRGGBB in a 32-bit word, the layout of QImage::Format_ARGB32.
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_ARGB32);
    const auto rowBytes = static_cast<std::size_t>(bitmap.Width()) * sizeof(skin::Pixel);
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::memcpy(image.scanLine(y), bitmap.Row(y), rowBytes);
    }
    return image;
}

QImage ToShownImage(const skin::Bitmap& bitmap) {
    QImage image = ToQImage(bitmap);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const skin::Pixel* row = bitmap.Row(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            if (skin::AlphaOf(row[x]) != 0xFF) {
                return image;
            }
        }
    }
    // Same bytes: Format_RGB32 is 0xffRRGGBB.
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

QImage TransparentImage(const skin::Picture& picture) {
    skin::Bitmap shown(picture.Width(), picture.Height(), skin::kTransparentPixel);
    skin::DrawPictureTransparent(shown, 0, 0, picture);
    return ToQImage(shown);
}

QImage KeyedImage(const skin::Bitmap& bitmap) {
    skin::Bitmap shown(bitmap.Width(), bitmap.Height(), skin::kTransparentPixel);
    skin::DrawTransparent(shown, 0, 0, bitmap, skin::KeyColour);
    return ToQImage(shown);
}

QRegion ToRegion(const skin::Region& region) {
    // The rectangles are disjoint and in scan order, which lets Qt take them as they are.
    std::vector<QRect> rects;
    rects.reserve(region.Rects().size());
    for (const skin::Rect& r : region.Rects()) {
        rects.emplace_back(r.Left, r.Top, r.Width, r.Height);
    }
    QRegion result;
    result.setRects(rects.data(), int(rects.size()));
    return result;
}

}  // namespace ui
