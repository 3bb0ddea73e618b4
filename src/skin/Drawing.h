#pragma once
// Drawing one picture over another with the skin's transparency rules.
#include "skin/Bitmap.h"

namespace skin {

// Copies the w x h block at (sx, sy) of source to (dx, dy) of dest; parts that lie outside
// either bitmap are left out.
void CopyRect(Bitmap& dest, int dx, int dy, const Bitmap& source, int sx, int sy, int w, int h);

// Draws source at (x, y): every pixel of exactly keyColour, and every pixel of alpha 0,
// leaves dest unchanged.
void DrawTransparent(Bitmap& dest, int x, int y, const Bitmap& source, Pixel keyColour);

// The colour that a picture shown transparently (the images Online, FLAG and the count)
// leaves out: the bottom-left pixel of a bitmap. GIF and icon pictures carry their own
// transparency (alpha 0) and leave out nothing else; for them the result is that they have none.
bool TransparentColourOf(const Picture& picture, Pixel& colour);

// Draws a picture at (x, y) with the rule above.
void DrawPictureTransparent(Bitmap& dest, int x, int y, const Picture& picture);

}  // namespace skin
