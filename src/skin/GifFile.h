#pragma once
// GIF pictures, decoded through giflib.
#include <cstdint>
#include <vector>

#include "skin/Bitmap.h"

namespace skin {

// The first image of a GIF file on its logical screen. The transparent colour of its graphic
// control block gives alpha 0, as does the screen around a smaller image. Throws SkinError.
Bitmap DecodeGif(const std::vector<std::uint8_t>& file);

}  // namespace skin
