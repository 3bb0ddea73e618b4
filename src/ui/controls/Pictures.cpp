#include "ui/controls/Pictures.h"

#include <cstring>
#include <vector>

#include "skin/Drawing.h"

namespace uicontrols {

namespace {

// skin::Pixel is 0xAARRGGBB in a 32-bit word, the layout of QImage::Format_ARGB32 (and of
// Format_RGB32 when alpha is 0xFF). image has the bitmap's size.
void CopyPixels(const skin::Bitmap& bitmap, QImage& image) {
    const auto rowBytes = static_cast<std::size_t>(bitmap.Width()) * sizeof(skin::Pixel);
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::memcpy(image.scanLine(y), bitmap.Row(y), rowBytes);
    }
}

}  // namespace

QImage ToQImage(const skin::Bitmap& bitmap) {
    if (bitmap.Empty()) {
        return {};
    }
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_ARGB32);
    CopyPixels(bitmap, image);
    return image;
}

QImage ToShownImage(const skin::Bitmap& bitmap) {
    QImage image;
    ToShownImage(bitmap, image);
    return image;
}

void ToShownImage(const skin::Bitmap& bitmap, QImage& image) {
    if (bitmap.Empty()) {
        image = QImage();
        return;
    }
    // One AND over all pixels: alpha 0xFF survives only when every pixel is opaque.
    skin::Pixel all = ~skin::Pixel{0};
    for (int y = 0; y < bitmap.Height(); ++y) {
        const skin::Pixel* row = bitmap.Row(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            all &= row[x];
        }
    }
    const bool opaque = skin::AlphaOf(all) == 0xFF;
    const QImage::Format format = opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32;
    const QSize size(bitmap.Width(), bitmap.Height());
    if (image.size() != size || image.format() != format) {
        image = QImage(size, format);
    }
    CopyPixels(bitmap, image);
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

}  // namespace uicontrols
