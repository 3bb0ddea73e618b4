// vorla-check-shot SHOT.png SKIN_FOLDER LEFT TOP [CROP.png]: checks a screenshot of the main
// window placed at LEFT,TOP with that skin: outside the outline the root window shows, inside
// it the skin's background, and the status line holds pixels of the status font.
// vorla-check-shot --messages SHOT.png SKIN_FOLDER LEFT TOP [CROP.png]: the same for the
// message window at LEFT,TOP: its outline, its background, and text in the memo.
// With CROP.png the window's rectangle is saved there too.
#include <QCoreApplication>
#include <QImage>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "settings/Config.h"
#include "skin/LoadSkin.h"
#include "skin/PictureLoader.h"
#include "skin/Region.h"

namespace {

class PrintDialogs final : public platform::Dialogs {
public:
    void ShowMessage(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    bool Ask(const std::string&) override { return false; }
    platform::Answer AskYesNoCancel(const std::string&) override {
        return platform::Answer::Cancel;
    }
};

class NoExit final : public platform::ExitRequest {
public:
    void RequestExit() override {}
};

QRgb Opaque(skin::Pixel p) {
    return qRgb(int(skin::RedOf(p)), int(skin::GreenOf(p)), int(skin::BlueOf(p))) & 0xFFFFFFu;
}

QRgb Seen(const QImage& shot, int x, int y) {
    return shot.pixel(x, y) & 0xFFFFFFu;
}

int Fail(const char* what) {
    std::fprintf(stderr, "screenshot check failed: %s\n", what);
    return 1;
}

// A window drawn from a background picture, shaped by its magenta pixels, at left,top.
struct ShapedWindow {
    const skin::Bitmap& background;
    const skin::Region& region;
    int left;
    int top;
};

// Outside the outline the root window must show, inside it mostly the background; returns
// the number of background pixels seen, or -1 after reporting the fault.
int CheckOutline(const QImage& shot, const ShapedWindow& window) {
    const int width = window.background.Width();
    const int height = window.background.Height();
    if (window.left < 1 || window.top < 1 || window.left + width > shot.width() ||
        window.top + height > shot.height()) {
        Fail("the window does not lie inside the screen");
        return -1;
    }
    // The root window's colour, from outside the window.
    const QRgb root = Seen(shot, 0, 0);
    int cutAway = 0;
    int background = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb seen = Seen(shot, window.left + x, window.top + y);
            if (!window.region.Contains(x, y)) {
                if (seen != root) {
                    std::fprintf(stderr, "pixel %d,%d outside the outline shows %06x\n", x, y,
                                 seen);
                    Fail("the window is not cut to its outline");
                    return -1;
                }
                ++cutAway;
            } else if (seen == Opaque(window.background.At(x, y))) {
                ++background;
            }
        }
    }
    if (cutAway == 0) {
        Fail("the skin has no cut-away pixels to check");
        return -1;
    }
    if (background < width * height / 4) {
        Fail("the window does not show its background");
        return -1;
    }
    std::printf("outline: %d pixels cut away show the root colour; background %d pixels\n", cutAway,
                background);
    return background;
}

int CheckMainWindow(const QImage& shot, const skin::MainWindowSkin& skin, int left, int top) {
    if (!skin.WindowRegion) {
        return Fail("the skin has no outline");
    }
    if (CheckOutline(shot, {skin.Background, *skin.WindowRegion, left, top}) < 0) {
        return 1;
    }
    const skin::Bitmap font = skin::LoadBitmapFile(skin.StatusFontPath);
    std::set<QRgb> glyphColours;
    for (int y = 0; y < font.Height(); ++y) {
        for (int x = 0; x < font.Width(); ++x) {
            if (!skin::SameRgb(font.At(x, y), skin::KeyColour)) {
                glyphColours.insert(Opaque(font.At(x, y)));
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
                glyphColours.count(Seen(shot, sx, sy)) != 0) {
                ++glyphPixels;
            }
        }
    }
    if (glyphPixels < 20) {
        return Fail("the status line shows no text of the status font");
    }
    std::printf("status font %d pixels\n", glyphPixels);
    return 0;
}

// The memo is transparent: where no text is drawn, the background shows through, so text
// shows as pixels of the memo's rectangle that differ from the background.
int CheckMessageWindow(const QImage& shot, const skin::MainWindowSkin& skin, int left, int top) {
    const auto region = skin::RegionFromBitmap(skin.MsgBackground, skin::KeyColour, 0);
    if (!region) {
        return Fail("the skin has no message window background");
    }
    if (CheckOutline(shot, {skin.MsgBackground, *region, left, top}) < 0) {
        return 1;
    }
    const skin::MsgWindowSkin& msg = skin.MsgWindow;
    int textPixels = 0;
    for (int y = msg.MemoY; y < msg.MemoY + msg.MemoHeight; ++y) {
        for (int x = msg.MemoX; x < msg.MemoX + msg.MemoWidth; ++x) {
            if (x < skin.MsgBackground.Width() && y < skin.MsgBackground.Height() &&
                Seen(shot, left + x, top + y) != Opaque(skin.MsgBackground.At(x, y))) {
                ++textPixels;
            }
        }
    }
    if (textPixels < 200) {
        return Fail("the memo shows no text");
    }
    std::printf("memo text %d pixels\n", textPixels);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool messages = argc > 1 && std::strcmp(argv[1], "--messages") == 0;
    char** args = messages ? argv + 1 : argv;
    const int count = messages ? argc - 1 : argc;
    if (count != 5 && count != 6) {
        std::fprintf(stderr,
                     "usage: vorla-check-shot [--messages] SHOT.png SKIN_FOLDER LEFT TOP "
                     "[CROP.png]\n");
        return 64;
    }
    QCoreApplication app(argc, argv);
    const QImage shot =
        QImage(QString::fromLocal8Bit(args[1])).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull()) {
        return Fail("the screenshot cannot be read");
    }
    PrintDialogs dialogs;
    NoExit noExit;
    skin::MainWindowSkin skin;
    const std::string folder = settings::AsFolder(args[2]);
    if (!skin::LoadSkin(skin, {folder, ""}, {dialogs, noExit}, false, {})) {
        return Fail("the skin does not load");
    }
    const int left = std::stoi(args[3]);
    const int top = std::stoi(args[4]);
    const int result = messages ? CheckMessageWindow(shot, skin, left, top)
                                : CheckMainWindow(shot, skin, left, top);
    if (result != 0) {
        return result;
    }
    const skin::Bitmap& picture = messages ? skin.MsgBackground : skin.Background;
    if (count == 6 && !shot.copy(left, top, picture.Width(), picture.Height())
                           .save(QString::fromLocal8Bit(args[5]))) {
        return Fail("the crop cannot be saved");
    }
    return 0;
}
