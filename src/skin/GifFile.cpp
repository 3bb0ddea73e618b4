#include "skin/GifFile.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "skin/SkinError.h"

namespace skin {

namespace {

struct Source {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* source = static_cast<Source*>(gif->UserData);
    const std::size_t left = source->bytes->size() - source->at;
    const std::size_t n = std::min(left, static_cast<std::size_t>(std::max(length, 0)));
    if (n > 0) {
        std::memcpy(buffer, source->bytes->data() + source->at, n);
    }
    source->at += n;
    return static_cast<int>(n);
}

[[noreturn]] void Fail(const std::string& reason) {
    throw SkinError("GIF: " + reason);
}

[[noreturn]] void FailGif(int code) {
    const char* text = GifErrorString(code);
    Fail(text != nullptr ? text : "decoding failed");
}

class GifHandle {
public:
    explicit GifHandle(Source& source) {
        int error = 0;
        gif_ = DGifOpen(&source, ReadFromMemory, &error);
        if (gif_ == nullptr) {
            FailGif(error);
        }
    }
    ~GifHandle() {
        int error = 0;
        // Closing only frees memory here; its result cannot change the decoded picture.
        DGifCloseFile(gif_, &error);
    }
    GifHandle(const GifHandle&) = delete;
    GifHandle& operator=(const GifHandle&) = delete;
    GifFileType* operator->() const { return gif_; }
    GifFileType* get() const { return gif_; }

private:
    GifFileType* gif_ = nullptr;
};

void Check(GifFileType* gif, int result) {
    if (result != GIF_OK) {
        FailGif(gif->Error);
    }
}

// Reads one extension; a graphic control block sets the transparent index of the next image.
void ReadExtension(GifFileType* gif, int& index) {
    GifByteType* block = nullptr;
    int code = 0;
    Check(gif, DGifGetExtension(gif, &code, &block));
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4) {
        GraphicsControlBlock gcb;
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) {
            index = gcb.TransparentColor;
        }
    }
    while (block != nullptr) {
        Check(gif, DGifGetExtensionNext(gif, &block));
    }
}

void ReadImage(GifFileType* gif, int transparent, Bitmap& screen) {
    Check(gif, DGifGetImageDesc(gif));
    const GifImageDesc& desc = gif->Image;
    if (desc.Width <= 0 || desc.Height <= 0 || desc.Width > kMaxPictureSide ||
        desc.Height > kMaxPictureSide) {
        Fail("image size out of range");
    }
    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
    if (map == nullptr) {
        Fail("the image has no colour table");
    }
    std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
    auto readRow = [&](int row) {
        Check(gif, DGifGetLine(gif, line.data(), desc.Width));
        const int y = desc.Top + row;
        for (int i = 0; i < desc.Width; ++i) {
            const int x = desc.Left + i;
            if (!screen.Contains(x, y)) {
                continue;
            }
            const int index = line[static_cast<std::size_t>(i)];
            if (index == transparent) {
                screen.Set(x, y, kTransparentPixel);
            } else if (index < map->ColorCount) {
                const GifColorType& c = map->Colors[index];
                screen.Set(x, y, Rgb(c.Red, c.Green, c.Blue));
            } else {
                screen.Set(x, y, Rgb(0, 0, 0));
            }
        }
    };
    if (desc.Interlace) {
        constexpr int kStart[] = {0, 4, 2, 1};
        constexpr int kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            for (int row = kStart[pass]; row < desc.Height; row += kStep[pass]) {
                readRow(row);
            }
        }
    } else {
        for (int row = 0; row < desc.Height; ++row) {
            readRow(row);
        }
    }
}

}  // namespace

Bitmap DecodeGif(const std::vector<std::uint8_t>& file) {
    Source source{&file};
    GifHandle gif(source);
    const int width = gif->SWidth;
    const int height = gif->SHeight;
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
        static_cast<long long>(width) * height > kMaxPicturePixels) {
        Fail("screen size out of range");
    }
    // The screen is allocated whole before any image data is read.
    if (!PlausiblePixelCount(static_cast<long long>(width) * height, file.size())) {
        Fail("a screen of " + std::to_string(width) + " x " + std::to_string(height) +
             " pixels cannot come from a file of " + std::to_string(file.size()) + " bytes");
    }
    Bitmap screen(width, height, kTransparentPixel);
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        Check(gif.get(), DGifGetRecordType(gif.get(), &type));
        if (type == EXTENSION_RECORD_TYPE) {
            ReadExtension(gif.get(), transparent);
        } else if (type == IMAGE_DESC_RECORD_TYPE) {
            ReadImage(gif.get(), transparent, screen);
            return screen;
        } else if (type == TERMINATE_RECORD_TYPE) {
            Fail("the file holds no image");
        } else {
            Fail("unknown record");
        }
    }
}

}  // namespace skin
