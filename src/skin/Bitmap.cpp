#include "skin/Bitmap.h"

#include <algorithm>
#include <string>

#include "skin/SkinError.h"

namespace skin {

Bitmap::Bitmap(int width, int height, Pixel fill) {
    Reset(width, height, fill);
}

void Bitmap::Reset(int width, int height, Pixel fill) {
    if (width < 0 || height < 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
        static_cast<long long>(width) * height > kMaxPicturePixels) {
        throw SkinError("picture size " + std::to_string(width) + " x " + std::to_string(height) +
                        " is out of range");
    }
    if (width == 0 || height == 0) {
        m_width = 0;
        m_height = 0;
        m_pixels.clear();
        return;
    }
    m_width = width;
    m_height = height;
    m_pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

bool PlausiblePixelCount(long long pixels, std::size_t fileBytes) {
    constexpr long long kAlwaysAllowed = 1LL << 20;
    constexpr long long kPerFileByte = 4096;
    return pixels <= kAlwaysAllowed || pixels / kPerFileByte < static_cast<long long>(fileBytes);
}

void Bitmap::Fill(Pixel p) {
    std::fill(m_pixels.begin(), m_pixels.end(), p);
}

}  // namespace skin
