#pragma once
// The picture loader of the skin: reads a file and decodes it by its extension.
#include <cstdint>
#include <string>
#include <vector>

#include "skin/Bitmap.h"

namespace skin {

// The whole file; throws SkinError when it cannot be read or is unreasonably large.
std::vector<std::uint8_t> ReadPictureFile(const std::string& path);

// The general loader: "bmp" by our bitmap decoder, "ico" by our icon decoder, "gif" through
// giflib, letter case ignored. Metafiles ("wmf", "emf"), any other extension and anything
// that does not decode throw SkinError whose text names the file and the reason.
Picture LoadPicture(const std::string& path);

// A picture that must be a bitmap file (backgrounds and fonts), whatever its extension.
Bitmap LoadBitmapFile(const std::string& path);

// The two loaders for a file named by a skin: the exact name, else the same name in another
// letter case.
Picture LoadSkinPicture(const std::string& path);
Bitmap LoadSkinBitmap(const std::string& path);

}  // namespace skin
