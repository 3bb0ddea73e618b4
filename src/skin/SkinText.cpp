#include "skin/SkinText.h"

#include <algorithm>
#include <map>

#include "platform/ProgramFolder.h"
#include "skin/Drawing.h"
#include "skin/PictureLoader.h"
#include "skin/SkinError.h"

namespace skin {

namespace {

// Keeps sizes from a hand-edited skin.ini inside what a bitmap can hold.
constexpr int kMaxCell = 1024;

int ClampCell(int v) {
    return std::clamp(v, 0, kMaxCell);
}

unsigned char UpperAscii(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Copies the w x rows cell at font (fx, fy) to image column left, leaving KeyColour pixels of
// the font and everything outside either picture alone. The ticker draws a line of cells at
// every step: the columns are clipped once, so the inner loop only copies.
void DrawCell(Bitmap& image, long long left, int rows, const Bitmap& font, int fx, int fy, int w) {
    const long long first = std::max({0LL, -left, -static_cast<long long>(fx)});
    const long long last = std::min({static_cast<long long>(w), image.Width() - left,
                                     static_cast<long long>(font.Width()) - fx});
    for (int row = 0; row < rows; ++row) {
        const int sy = fy + row;
        if (sy < 0 || sy >= font.Height()) {
            continue;
        }
        const Pixel* from = font.Row(sy);
        Pixel* to = image.Row(row);
        for (long long col = first; col < last; ++col) {
            const Pixel p = from[fx + col];
            if (!SameRgb(p, KeyColour)) {
                to[left + col] = p | 0xFF000000u;
            }
        }
    }
}

// The colour the digit 8 of a count font is mostly drawn in; KeyColour when the cell is empty.
Pixel DigitInk(const Bitmap& font, int w, int h) {
    std::map<Pixel, int> uses;
    const int fx = 8 * w;
    for (int y = 0; y < std::min(h, font.Height()); ++y) {
        const Pixel* row = font.Row(y);
        for (int x = fx; x < std::min(fx + w, font.Width()); ++x) {
            if (!SameRgb(row[x], KeyColour)) {
                ++uses[row[x] | 0xFF000000u];
            }
        }
    }
    const auto most = std::max_element(
        uses.begin(), uses.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == uses.end() ? KeyColour : most->first;
}

// A count font holds the digits only; the "-" of a failed check is a bar across the middle of
// its cell, in the digits' ink.
void DrawDash(Bitmap& image, long long left, int rows, const Bitmap& font, int w, int h) {
    const Pixel ink = DigitInk(font, w, h);
    if (SameRgb(ink, KeyColour)) {
        return;
    }
    const int thickness = std::max(1, h / 8);
    const int top = (h - thickness) / 2;
    const long long first = std::max(0LL, left + w / 5);
    const long long last = std::min(static_cast<long long>(image.Width()), left + w - w / 5);
    for (int row = std::max(0, top); row < std::min(top + thickness, rows); ++row) {
        Pixel* to = image.Row(row);
        for (long long col = first; col < last; ++col) {
            to[col] = ink;
        }
    }
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

    const long long shown = std::max(0LL, std::min<long long>(n, drawing.MaxChar));
    long long width = std::min<long long>(shown * w + 1, kMaxPictureSide);
    long long height = h + 1;
    const Bitmap* background = drawing.Background;
    if (background != nullptr && !background->Empty()) {
        // What lies beyond the window is never seen: a huge cell or MaxChar costs no memory.
        width = std::min(width,
                         std::max(1LL, static_cast<long long>(background->Width()) - drawing.Left));
        height = std::min(
            height, std::max(1LL, static_cast<long long>(background->Height()) - drawing.Top));
    }
    image.Reset(static_cast<int>(width), static_cast<int>(height), KeyColour);
    if (drawing.Kind == TextImage::Status && background != nullptr) {
        CopyRect(image, 0, 0, *background, drawing.Left, drawing.Top, image.Width(),
                 image.Height());
    }

    const Bitmap* font = drawing.Font;
    if (font == nullptr || font->Empty()) {
        return stripWidth < offset;
    }
    const int rows = std::min(h, image.Height());
    long long x = 1;
    for (const char ch : text) {
        const long long left = x - offset;
        if (left >= image.Width()) {
            break;  // this character and every later one lie right of the image
        }
        const unsigned char c = UpperAscii(static_cast<unsigned char>(ch));
        int fx = 0;
        int fy = 0;
        if (c == ' ') {
            x += w;
        } else if (c == '-' && drawing.Kind == TextImage::Count) {
            DrawDash(image, left, rows, *font, w, h);
            x += w;
        } else if (FontCellOf(drawing.Kind, c, w, h, fx, fy)) {
            if (left + w > 0) {
                DrawCell(image, left, rows, *font, fx, fy, w);
            }
            x += w;
        }
    }
    return stripWidth < offset;
}

const Bitmap& FontCache::Font(const std::string& path, unsigned skinLoad) {
    if (skinLoad != m_skinLoad) {
        m_fonts.clear();
        m_skinLoad = skinLoad;
    }
    const auto known = m_fonts.find(path);
    if (known != m_fonts.end()) {
        return known->second;
    }
    Bitmap& font = m_fonts[path];
    try {
        font = LoadBitmapFile(platform::ResolveCaseInsensitive(path));
    } catch (const SkinError&) {
        // A font that cannot be read is not reported: the text is drawn from an empty font.
        font = Bitmap();
    }
    return font;
}

}  // namespace skin
