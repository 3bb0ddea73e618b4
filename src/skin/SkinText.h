#pragma once
// The bitmap-font renderer of the status line (STATBMP) and the message count (NBMSGBMP).
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "skin/Bitmap.h"

namespace skin {

// STATBMP takes its cells from the three-row status font and shows the window background
// under the text; NBMSGBMP takes them from the one-row digit font over KeyColour.
enum class TextImage { Status, Count };

struct TextDrawing {
    TextImage Kind = TextImage::Status;
    int CellWidth = 0;
    int CellHeight = 0;
    int MaxChar = 128;
    const Bitmap* Font = nullptr;        // null or empty: nothing but the background is drawn
    const Bitmap* Background = nullptr;  // the main window's background, for STATBMP
    int Left = 0;                        // the image's place in the window, for STATBMP
    int Top = 0;
};

// Draws text shifted left by offset pixels into image, which takes the size
// min(characters, MaxChar) x cell width + 1 by cell height + 1. Returns PastEnd: whether the
// offset lies beyond the text's strip (characters x cell width + 1 pixels).
bool RenderSkinText(const TextDrawing& drawing, std::string_view text, int offset, Bitmap& image);

// The cell of a character in its font, in pixels; false for a character without one
// (a space also has none, it only advances).
bool FontCellOf(TextImage kind, unsigned char c, int cellWidth, int cellHeight, int& x, int& y);

// Font pictures by path, decoded once and decoded again when the file changes (another size,
// modification time or file) or the path changes, so that a new skin shows at the next drawing.
// A font that cannot be read is an empty bitmap, as the renderer expects.
class FontCache {
public:
    const Bitmap& Font(const std::string& path);

private:
    struct Entry {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        long long size = -1;
        long long modified = 0;
        Bitmap font;
    };
    std::unordered_map<std::string, Entry> entries_;
};

}  // namespace skin
