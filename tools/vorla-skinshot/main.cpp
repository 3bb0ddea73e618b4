// vorla-skinshot: renders the main window (and the message window) as a skin places them.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "settings/FindInSkin.h"
#include "settings/Numbers.h"
#include "skin/BmpFile.h"
#include "skin/LoadSkin.h"
#include "skin/SkinError.h"
#include "skin/SkinShot.h"

namespace {

constexpr const char* kUsage =
    "usage: vorla-skinshot SKINDIR OUT.bmp [--status TEXT] [--offset N] [--count N]\n"
    "                      [--online] [--mail] [--msgwindow OUT2.bmp]\n"
    "\n"
    "Loads SKINDIR/skin.ini as the program does and writes the main window to OUT.bmp\n"
    "(24-bit BMP): the background, the four buttons in their normal pictures, the online\n"
    "or offline picture (--online), the no-mail or mail picture (--mail), the count N\n"
    "(default 0) in the digit font and the status TEXT (default \"Disconnected\") in the\n"
    "status font, shifted left by --offset pixels. Pixels outside the window outline are\n"
    "magenta (255,0,255). --msgwindow also writes the message window background with its\n"
    "five buttons. The window positions take their defaults (no settings file is read).\n"
    "\n"
    "Output on stdout, one line per window written:\n"
    "  main rects=N bbox=LEFT,TOP,WIDTH,HEIGHT\n"
    "  msgwindow rects=N bbox=LEFT,TOP,WIDTH,HEIGHT\n"
    "N is the number of one-pixel-high rectangles of the window region and bbox their\n"
    "bounding box (0,0,0,0 when the region is empty).\n"
    "\n"
    "Exit status: 0 written, 1 the skin does not load or a picture fails (reason on\n"
    "stderr), 2 wrong arguments.\n";

struct StderrSinks : platform::Dialogs, platform::ExitRequest {
    void ShowMessage(const std::string& text) override {
        std::string line = text;
        for (char& c : line) {
            if (c == '\r') {
                c = ' ';
            }
        }
        std::cerr << line << '\n';
    }
    // The tool draws pictures only; nothing it runs asks a question.
    bool Ask(const std::string&) override { return false; }
    platform::Answer AskYesNoCancel(const std::string&) override {
        return platform::Answer::Cancel;
    }
    void RequestExit() override {}
};

int Usage(const std::string& problem) {
    std::cerr << "vorla-skinshot: " << problem << "\n" << kUsage;
    return 2;
}

void PrintRegion(const char* name, const skin::Bitmap& background) {
    const auto region = skin::RegionFromBitmap(background, skin::KeyColour, 0);
    const std::size_t count = region ? region->Rects().size() : 0;
    const skin::Rect box = region ? region->BoundingBox() : skin::Rect{};
    std::cout << name << " rects=" << count << " bbox=" << box.Left << ',' << box.Top << ','
              << box.Width << ',' << box.Height << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    std::string positional[2];
    int positionals = 0;
    std::string msgOut;
    skin::MainShotOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--status") {
            if (!value(options.Status)) {
                return Usage("--status needs a text");
            }
        } else if (arg == "--offset") {
            if (!value(text) || !settings::ParseDecimal(text, options.Offset)) {
                return Usage("--offset needs a whole number");
            }
        } else if (arg == "--count") {
            int count = 0;
            if (!value(text) || !settings::ParseDecimal(text, count) || count < 0) {
                return Usage("--count needs a number of 0 or more");
            }
            options.Count = std::to_string(count);
        } else if (arg == "--online") {
            options.Online = true;
        } else if (arg == "--mail") {
            options.Mail = true;
        } else if (arg == "--msgwindow") {
            if (!value(msgOut)) {
                return Usage("--msgwindow needs a file name");
            }
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage("unknown option " + arg);
        } else if (positionals < 2) {
            positional[positionals++] = arg;
        } else {
            return Usage("too many arguments");
        }
    }
    if (positionals != 2) {
        return Usage("SKINDIR and OUT.bmp are needed");
    }
    if (positional[0].empty()) {
        return Usage("SKINDIR must not be empty");
    }
    std::string folder = positional[0];
    if (folder.back() != '/') {
        folder += '/';
    }
    StderrSinks sinks;
    skin::MainWindowSkin skin;
    try {
        std::string failure;
        if (!skin::LoadSkin(skin, {folder, ""}, {sinks, sinks}, false, nullptr, &failure)) {
            std::cerr << skin::kInvalidSkin << "\n" << failure << '\n';
            return 1;
        }
        skin::FontCache fonts;
        skin::WriteBmp(skin::RenderMainWindow(skin, fonts, options), positional[1]);
        PrintRegion("main", skin.Background);
        if (!msgOut.empty()) {
            skin::WriteBmp(skin::RenderMsgWindow(skin), msgOut);
            PrintRegion("msgwindow", skin.MsgBackground);
        }
    } catch (const settings::FatalSettingsError&) {
        return 1;
    } catch (const skin::SkinError& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
