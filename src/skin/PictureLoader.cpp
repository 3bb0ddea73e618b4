#include "skin/PictureLoader.h"

#include "platform/FileRead.h"
#include "platform/ProgramFolder.h"
#include "settings/LineReader.h"
#include "skin/BmpFile.h"
#include "skin/GifFile.h"
#include "skin/IconFile.h"
#include "skin/SkinError.h"

namespace skin {

namespace {

constexpr long kMaxFileBytes = 64L << 20;

std::string ExtensionOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    return path.substr(dot + 1);
}

template <typename Decode>
auto Decoded(const std::string& path, Decode decode) {
    const std::vector<std::uint8_t> bytes = ReadPictureFile(path);
    try {
        return decode(bytes);
    } catch (const SkinError& e) {
        throw SkinError(path + ": " + e.what());
    }
}

}  // namespace

std::vector<std::uint8_t> ReadPictureFile(const std::string& path) {
    std::string content;
    try {
        content = platform::ReadFileHead(path, static_cast<std::size_t>(kMaxFileBytes) + 1);
    } catch (const platform::FileReadError& e) {
        throw SkinError(path + ": cannot open the file (" + e.Reason() + ")");
    }
    if (content.size() > static_cast<std::size_t>(kMaxFileBytes)) {
        throw SkinError(path + ": the file is too large for a picture");
    }
    return {content.begin(), content.end()};
}

Picture LoadPicture(const std::string& path) {
    const std::string ext = ExtensionOf(path);
    using settings::EqualsIgnoringCase;
    Picture picture;
    if (EqualsIgnoringCase(ext, "bmp")) {
        picture.Image = Decoded(path, DecodeBmp);
        picture.Format = PictureFormat::Bitmap;
    } else if (EqualsIgnoringCase(ext, "ico")) {
        picture.Image = Decoded(path, DecodeIcon);
        picture.Format = PictureFormat::Icon;
    } else if (EqualsIgnoringCase(ext, "gif")) {
        picture.Image = Decoded(path, DecodeGif);
        picture.Format = PictureFormat::Gif;
    } else if (EqualsIgnoringCase(ext, "wmf") || EqualsIgnoringCase(ext, "emf")) {
        throw SkinError(path +
                        ": metafile pictures (wmf, emf) are not supported; "
                        "use a bmp, gif or ico file");
    } else {
        throw SkinError(path + ": unknown picture type \"" + ext + "\" (expected bmp, gif or ico)");
    }
    return picture;
}

Bitmap LoadBitmapFile(const std::string& path) {
    return Decoded(path, DecodeBmp);
}

Picture LoadSkinPicture(const std::string& path) {
    return LoadPicture(platform::ResolveCaseInsensitive(path));
}

Bitmap LoadSkinBitmap(const std::string& path) {
    return LoadBitmapFile(platform::ResolveCaseInsensitive(path));
}

}  // namespace skin
