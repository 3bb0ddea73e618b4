#pragma once
// Pictures as 32-bit pixels, the one image type of the skin code; Qt only gets finished pixels.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace skin {

// 0xAARRGGBB. Alpha 0 marks a pixel that a GIF or an icon declares transparent; pictures
// decoded from bitmap files are fully opaque and use the key colour rules instead.
using Pixel = std::uint32_t;

constexpr Pixel Rgb(unsigned r, unsigned g, unsigned b) {
    return 0xFF000000u | ((r & 0xFFu) << 16) | ((g & 0xFFu) << 8) | (b & 0xFFu);
}
constexpr unsigned RedOf(Pixel p) {
    return (p >> 16) & 0xFFu;
}
constexpr unsigned GreenOf(Pixel p) {
    return (p >> 8) & 0xFFu;
}
constexpr unsigned BlueOf(Pixel p) {
    return p & 0xFFu;
}
constexpr unsigned AlphaOf(Pixel p) {
    return p >> 24;
}
constexpr bool SameRgb(Pixel a, Pixel b) {
    return ((a ^ b) & 0x00FFFFFFu) == 0;
}

// Magenta: transparent in every skin picture.
inline constexpr Pixel KeyColour = Rgb(255, 0, 255);
inline constexpr Pixel kTransparentPixel = 0x00000000u;

// Limits that keep a hostile file from asking for gigabytes: no skin needs a picture larger
// than a screen.
inline constexpr int kMaxPictureSide = 4096;
inline constexpr long long kMaxPicturePixels = 4096LL * 4096;

// Whether a compressed picture file of fileBytes bytes may claim that many pixels before they
// are allocated. Real encoders stay far below the bound (whole rows of RLE8 runs give at most
// 128 pixels a byte, GIF's LZW about 2600); a picture of up to 1024 x 1024 pixels always may.
bool PlausiblePixelCount(long long pixels, std::size_t fileBytes);

class Bitmap {
public:
    Bitmap() = default;
    // Throws SkinError when the size is negative or beyond the limits above.
    Bitmap(int width, int height, Pixel fill = Rgb(0, 0, 0));
    // The same on an existing picture: its storage is kept when it is large enough, so a
    // picture redrawn at every step allocates nothing.
    void Reset(int width, int height, Pixel fill);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Empty() const { return m_width == 0 || m_height == 0; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    Pixel At(int x, int y) const { return m_pixels[Index(x, y)]; }
    void Set(int x, int y, Pixel p) { m_pixels[Index(x, y)] = p; }
    Pixel* Row(int y) { return m_pixels.data() + Index(0, y); }
    const Pixel* Row(int y) const { return m_pixels.data() + Index(0, y); }
    void Fill(Pixel p);

    friend bool operator==(const Bitmap&, const Bitmap&) = default;

private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
               static_cast<std::size_t>(x);
    }

    int m_width = 0;
    int m_height = 0;
    std::vector<Pixel> m_pixels;
};

// Which decoder produced a picture; it decides how the picture is drawn transparently.
enum class PictureFormat { None, Bitmap, Icon, Gif };

// A loaded picture file: the pixels and the kind of file they came from.
struct Picture {
    Bitmap Image;
    PictureFormat Format = PictureFormat::None;

    bool Empty() const { return Image.Empty(); }
    int Width() const { return Image.Width(); }
    int Height() const { return Image.Height(); }
};

}  // namespace skin
