#pragma once
// Turns the core's finished pixels into Qt images and regions; no colour rules live here.
#include <QImage>
#include <QRegion>

#include "skin/Bitmap.h"
#include "skin/Region.h"

namespace uicontrols {

// A copy of the pixels; alpha as the core left it (0 where it made a pixel transparent).
QImage ToQImage(const skin::Bitmap& bitmap);

// The same, without an alpha channel when every pixel is opaque: such an image is copied, not
// blended, and hides what lies under it.
QImage ToShownImage(const skin::Bitmap& bitmap);
// The same into image, whose buffer is reused when its size and format fit and nobody else
// shares it: a picture redrawn at every ticker step allocates nothing.
void ToShownImage(const skin::Bitmap& bitmap, QImage& image);

// A picture shown transparently over the window (Online, FLAG): the pixels that the skin
// library's rule leaves out get alpha 0.
QImage TransparentImage(const skin::Picture& picture);

// A drawing over KeyColour (the count image) with the KeyColour pixels made transparent.
QImage KeyedImage(const skin::Bitmap& bitmap);

// The same rectangles as a Qt region.
QRegion ToRegion(const skin::Region& region);

}  // namespace uicontrols
