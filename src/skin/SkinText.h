#pragma once
// The bitmap-font renderer of the status line (STATBMP) and the message count (NBMSGBMP).
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
    const Bitmap* Font = nullptr;  // null or empty: nothing but the background is drawn
    // The main window's background: STATBMP shows it under the text, and neither image reaches
    // beyond it, since the window is the background's size. Null or empty: no such bound.
    const Bitmap* Background = nullptr;
    int Left = 0;  // the image's place in the window
    int Top = 0;
};

// Draws text shifted left by offset pixels into image, which takes the size
// min(characters, MaxChar) x cell width + 1 by cell height + 1, cut at the window's edges.
// Only the characters within the image are visited. Returns PastEnd: whether the offset lies
// beyond the text's strip (characters x cell width + 1 pixels).
bool RenderSkinText(const TextDrawing& drawing, std::string_view text, int offset, Bitmap& image);

// The cell of a character in its font, in pixels; false for a character without one
// (a space also has none, it only advances).
bool FontCellOf(TextImage kind, unsigned char c, int cellWidth, int cellHeight, int& x, int& y);

// Font pictures by path, decoded at their first use after a skin load and kept until the next
// one, so that a drawing touches no file and a new skin (or the same one loaded again) shows at
// the next drawing. A font that cannot be read is an empty bitmap, as the renderer expects.
class FontCache {
public:
    // skinLoad: the skin's load count (MainWindowSkin::Loads); another value than at the last
    // call forgets every font.
    const Bitmap& Font(const std::string& path, unsigned skinLoad);

private:
    std::unordered_map<std::string, Bitmap> m_fonts;
    unsigned m_skinLoad = 0;
};

}  // namespace skin
