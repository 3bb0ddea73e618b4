#pragma once
// Icon (ICO) files, decoded by our own code.
#include <cstdint>
#include <vector>

#include "skin/Bitmap.h"

namespace skin {

// Decodes the largest bitmap-with-mask entry of an icon file (PNG entries are passed over;
// between entries of the same size the deeper colour wins). Pixels that the mask, or the
// alpha of a 32-bit entry, declares transparent get alpha 0. Throws SkinError with a reason.
Bitmap DecodeIcon(const std::vector<std::uint8_t>& file);

}  // namespace skin
