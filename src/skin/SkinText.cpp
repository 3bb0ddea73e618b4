#include "skin/SkinText.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "platform/ProgramFolder.h"
#include "skin/Drawing.h"
#include "skin/PictureLoader.h"
#include "skin/SkinError.h"

namespace skin {

namespace {

// Keeps sizes from a hand-edited skin.ini inside what a bitmap can hold.
constexpr int kMaxCell = 1024;

struct Glyph {
    long long stripX;
    int fontX;
    int fontY;
};

int ClampCell(int v) {
    return std::clamp(v, 0, kMaxCell);
}

unsigned char UpperAscii(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

bool FontCellOf(TextImage kind, unsigned char c, int cellWidth, int cellHeight, int& x, int& y) {
    const bool letter = c >= 'A' && c <= 'Z';
    if (!letter && !(c >= 33 && c <= 64)) {
        return false;
    }
    if (kind == TextImage::Count) {
        x = (c - 48) * cellWidth;
        y = 0;
    } else if (letter) {
        x = (c - 65) * cellWidth;
        y = 0;
    } else if (c >= 40) {
        x = (c - 40) * cellWidth;
        y = cellHeight;
    } else {
        x = (c - 33) * cellWidth;
        y = 2 * cellHeight + 1;
    }
    return true;
}

bool RenderSkinText(const TextDrawing& drawing, std::string_view text, int offset, Bitmap& image) {
    const int w = ClampCell(drawing.CellWidth);
    const int h = ClampCell(drawing.CellHeight);
    const long long n = static_cast<long long>(text.size());
    const long long stripWidth = n * w + 1;

    std::vector<Glyph> glyphs;
    long long x = 1;
    for (const char ch : text) {
        const unsigned char c = UpperAscii(static_cast<unsigned char>(ch));
        int fx = 0;
        int fy = 0;
        if (c == ' ') {
            x += w;
        } else if (FontCellOf(drawing.Kind, c, w, h, fx, fy)) {
            glyphs.push_back({x, fx, fy});
            x += w;
        }
    }

    const long long shown = std::max(0LL, std::min<long long>(n, drawing.MaxChar));
    const int width = static_cast<int>(std::min<long long>(shown * w + 1, kMaxPictureSide));
    image = Bitmap(width, h + 1, KeyColour);
    if (drawing.Kind == TextImage::Status && drawing.Background != nullptr) {
        CopyRect(image, 0, 0, *drawing.Background, drawing.Left, drawing.Top, width, h + 1);
    }

    const Bitmap* font = drawing.Font;
    if (font != nullptr && !font->Empty()) {
        for (const Glyph& g : glyphs) {
            const long long left = g.stripX - offset;
            if (left + w <= 0 || left >= width) {
                continue;
            }
            for (int row = 0; row < h; ++row) {
                const int fy = g.fontY + row;
                if (fy < 0 || fy >= font->Height()) {
                    continue;
                }
                for (int col = 0; col < w; ++col) {
                    const long long dx = left + col;
                    const int fx = g.fontX + col;
                    if (dx < 0 || dx >= width || fx < 0 || fx >= font->Width()) {
                        continue;
                    }
                    const Pixel p = font->At(fx, fy);
                    if (!SameRgb(p, KeyColour)) {
                        image.Set(static_cast<int>(dx), row, p | 0xFF000000u);
                    }
                }
            }
        }
    }
    return stripWidth < offset;
}

const Bitmap& FontCache::Font(const std::string& path) {
    const std::string resolved = platform::ResolveCaseInsensitive(path);
    Entry& entry = entries_[path];
    struct stat info {};
    if (::stat(resolved.c_str(), &info) != 0) {
        entry = Entry{};
        return entry.font;
    }
    const long long modified =
        static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
    if (entry.size == static_cast<long long>(info.st_size) && entry.modified == modified &&
        entry.device == info.st_dev && entry.inode == info.st_ino) {
        return entry.font;
    }
    entry.device = info.st_dev;
    entry.inode = info.st_ino;
    entry.size = info.st_size;
    entry.modified = modified;
    try {
        entry.font = LoadBitmapFile(resolved);
    } catch (const SkinError&) {
        // A font that cannot be read is not reported: the text is drawn from an empty font.
        entry.font = Bitmap();
    }
    return entry.font;
}

}  // namespace skin
