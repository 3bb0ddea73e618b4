// vorla-check-shot SHOT.png SKIN_FOLDER LEFT TOP [CROP.png]: checks a screenshot of the main
// window placed at LEFT,TOP with that skin: outside the outline the root window shows, inside
// it the skin's background, and the status line holds pixels of the status font.
// With CROP.png the window's rectangle is saved there too.
#include <QCoreApplication>
#include <QImage>

#include <cstdio>
#include <set>
#include <string>

#include "settings/Config.h"
#include "skin/LoadSkin.h"
#include "skin/PictureLoader.h"

namespace {

class PrintDialogs final : public platform::Dialogs {
public:
    void ShowMessage(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
};

class NoExit final : public platform::ExitRequest {
public:
    void RequestExit() override {}
};

QRgb Opaque(skin::Pixel p) {
    return qRgb(int(skin::RedOf(p)), int(skin::GreenOf(p)), int(skin::BlueOf(p)));
}

int Fail(const char* what) {
    std::fprintf(stderr, "screenshot check failed: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: vorla-check-shot SHOT.png SKIN_FOLDER LEFT TOP [CROP.png]\n");
        return 64;
    }
    QCoreApplication app(argc, argv);
    const QImage shot =
        QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull()) {
        return Fail("the screenshot cannot be read");
    }
    PrintDialogs dialogs;
    NoExit noExit;
    skin::MainWindowSkin skin;
    const std::string folder = settings::AsFolder(argv[2]);
    if (!skin::LoadSkin(skin, {folder, ""}, {dialogs, noExit}, false, {})) {
        return Fail("the skin does not load");
    }
    const int left = std::stoi(argv[3]);
    const int top = std::stoi(argv[4]);
    if (!skin.WindowRegion || left < 1 || top < 1 || left + skin.WindowWidth > shot.width() ||
        top + skin.WindowHeight > shot.height()) {
        return Fail("the window does not lie inside the screen");
    }
    // The root window's colour, from outside the window.
    const QRgb root = shot.pixel(0, 0);
    int cutAway = 0;
    int background = 0;
    for (int y = 0; y < skin.WindowHeight; ++y) {
        for (int x = 0; x < skin.WindowWidth; ++x) {
            const QRgb seen = shot.pixel(left + x, top + y) & 0xFFFFFFu;
            if (!skin.WindowRegion->Contains(x, y)) {
                if (seen != (root & 0xFFFFFFu)) {
                    std::fprintf(stderr, "pixel %d,%d outside the outline shows %06x\n", x, y,
                                 seen);
                    return Fail("the window is not cut to its outline");
                }
                ++cutAway;
            } else if (seen == (Opaque(skin.Background.At(x, y)) & 0xFFFFFFu)) {
                ++background;
            }
        }
    }
    if (cutAway == 0) {
        return Fail("the skin has no cut-away pixels to check");
    }
    if (background < skin.WindowWidth * skin.WindowHeight / 4) {
        return Fail("the window does not show its background");
    }
    const skin::Bitmap font = skin::LoadBitmapFile(skin.StatusFontPath);
    std::set<QRgb> glyphColours;
    for (int y = 0; y < font.Height(); ++y) {
        for (int x = 0; x < font.Width(); ++x) {
            if (!skin::SameRgb(font.At(x, y), skin::KeyColour)) {
                glyphColours.insert(Opaque(font.At(x, y)) & 0xFFFFFFu);
            }
        }
    }
    int glyphPixels = 0;
    const int statusWidth = skin.MaxChar * skin.StatusCellWidth + 1;
    for (int y = 0; y <= skin.StatusCellHeight; ++y) {
        for (int x = 0; x < statusWidth; ++x) {
            const int sx = left + skin.STATBMP.Left + x;
            const int sy = top + skin.STATBMP.Top + y;
            if (sx < shot.width() && sy < shot.height() &&
                glyphColours.count(shot.pixel(sx, sy) & 0xFFFFFFu) != 0) {
                ++glyphPixels;
            }
        }
    }
    if (glyphPixels < 20) {
        return Fail("the status line shows no text of the status font");
    }
    std::printf(
        "outline: %d pixels cut away show the root colour; background %d pixels; status "
        "font %d pixels\n",
        cutAway, background, glyphPixels);
    if (argc == 6 && !shot.copy(left, top, skin.WindowWidth, skin.WindowHeight)
                          .save(QString::fromLocal8Bit(argv[5]))) {
        return Fail("the crop cannot be saved");
    }
    return 0;
}
