#include "skin/LoadSkin.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/ProgramFolder.h"
#include "settings/LineReader.h"
#include "settings/Numbers.h"
#include "skin/PictureLoader.h"
#include "skin/SkinError.h"
#include "skin/TraiteInt.h"

namespace skin {

namespace {

using settings::kEmptyMarker;
namespace fs = std::filesystem;

// The path with every symbolic link and "." or ".." resolved as far as it exists, without a
// trailing separator.
fs::path Resolved(const std::string& path) {
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(fs::path(path), ec);
    if (ec) {
        throw SkinError(path + ": " + ec.message());
    }
    if (!resolved.has_filename() && resolved.has_parent_path()) {
        resolved = resolved.parent_path();
    }
    return resolved;
}

void CheckSkinFile(const std::string& skinFolder, const std::string& path) {
    const fs::path folder = Resolved(skinFolder);
    const fs::path file = Resolved(platform::ResolveCaseInsensitive(path));
    const auto [inFolder, inFile] =
        std::mismatch(folder.begin(), folder.end(), file.begin(), file.end());
    if (inFolder != folder.end() || inFile == file.end()) {
        throw SkinError(path + ": lies outside the skin folder");
    }
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        throw SkinError(path + ": not a regular file");
    }
}

// One load's reads of skin.ini; every failed step throws SkinError with its reason.
class SkinReader {
public:
    // A skin.ini outside its folder is as unusable as an unreadable one.
    SkinReader(const SkinSource& source, const settings::FatalSinks& sinks)
        : folder_(source.SkinFolder),
          ini_(platform::ResolveCaseInsensitive(source.SkinFolder + "skin.ini")),
          sinks_(sinks) {
        try {
            CheckSkinFile(folder_, ini_);
        } catch (const SkinError&) {
            settings::ReportFatal(sinks_, settings::kVorlaIniNotFound);
        }
    }

    std::string Read(const std::string& section, const std::string& key, bool fatal = false) {
        return settings::FindInSkin(ini_, section, key, fatal, sinks_);
    }

    std::string Path(const std::string& section, const std::string& key) {
        return SkinFilePath(folder_, Read(section, key));
    }

    // Both results of the pair, as TraiteInt gives them.
    void Pair(const std::string& section, const std::string& key, int& first, int& second) {
        const std::string value = Read(section, key);
        if (!TraiteInt(value, first, second)) {
            throw SkinError(section + " " + key + ": \"" + value + "\" is not a number pair");
        }
    }

    // The same value for both results (maxchar and the memo rectangle).
    void Single(const std::string& section, const std::string& key, int& target) {
        Pair(section, key, target, target);
    }

    // A position pair into left and top; a single number keeps the element's top.
    template <typename Element>
    void Place(const std::string& section, const std::string& key, Element& element) {
        int x = element.Left;
        int y = element.Top;
        Pair(section, key, x, y);
        element.Top = y;
        element.Left = x;
    }

    void Button(const std::string& section, const std::string& normal, const std::string& hover,
                TImgBtn& button) {
        button.SetPicOff(LoadSkinPicture(Path(section, normal)));
        button.SetPicOn(LoadSkinPicture(Path(section, hover)));
        Place(section, "position", button);
    }

private:
    std::string folder_;
    std::string ini_;
    const settings::FatalSinks& sinks_;
};

int NumberOrDefault(const std::string& value, int fallback, const char* what) {
    if (value == kEmptyMarker) {
        return fallback;
    }
    int number = 0;
    if (!settings::ParseStandardInteger(value, number)) {
        throw SkinError(std::string(what) + ": \"" + value + "\" is not a number");
    }
    return number;
}

void ReadMsgWindow(SkinReader& reader, MsgWindowSkin& msg) {
    const std::string section = "[memo_msgwindow]";
    reader.Single(section, "memo_x", msg.MemoX);
    reader.Single(section, "memo_y", msg.MemoY);
    reader.Single(section, "memo_width", msg.MemoWidth);
    reader.Single(section, "memo_height", msg.MemoHeight);
    const std::string colour = reader.Read(section, "fontcolor");
    if (!ParseFontColor(colour, msg.FontColor)) {
        throw SkinError(section + " fontcolor: \"" + colour + "\" is not red,green,blue");
    }
    const std::string name = reader.Read(section, "fontname");
    msg.FontName = name == kEmptyMarker ? "arial" : name;
    msg.FontStyle = reader.Read(section, "fontstyle");
    msg.FontSize = NumberOrDefault(reader.Read(section, "fontsize"), 7, "fontsize");
    static const char* const kNames[kMsgButtonCount] = {"prev", "next", "reply", "delete", "close"};
    for (int i = 0; i < kMsgButtonCount; ++i) {
        const std::string name = kNames[i];
        MsgButtonSkin& button = msg.Buttons[static_cast<std::size_t>(i)];
        button.NormalPath = reader.Path(section, name + "btnnormal");
        button.HoverPath = reader.Path(section, name + "btnselect");
        reader.Pair(section, name + "btnpos", button.X, button.Y);
    }
}

void ReadPositions(const SkinSource& source, MainWindowSkin& skin) {
    auto read = [&](const char* key, int fallback) {
        if (source.SettingsFile.empty()) {
            return fallback;
        }
        return NumberOrDefault(settings::FindInSkin(source.SettingsFile, "", key), fallback, key);
    };
    skin.MsgWindow.PosX = read("memo_posx", 50);
    skin.MsgWindow.PosY = read("memo_posy", 100);
    skin.MsgWindow.PosSaved =
        !source.SettingsFile.empty() &&
        settings::FindInSkin(source.SettingsFile, "", "memo_posx") != kEmptyMarker &&
        settings::FindInSkin(source.SettingsFile, "", "memo_posy") != kEmptyMarker;
    skin.WindowLeft = read("posx", 50);
    skin.WindowTop = read("posy", 50);
}

void Load(MainWindowSkin& skin, const SkinSource& source, const settings::FatalSinks& sinks) {
    SkinReader reader(source, sinks);
    skin.Background =
        LoadSkinBitmap(SkinFilePath(source.SkinFolder, reader.Read("[background]", "main", true)));
    const std::string msgBackground = reader.Read("[background]", "msgbkng");
    if (msgBackground == kEmptyMarker) {
        settings::ReportFatal(sinks, kMsgBkgndMissing);
    }
    skin.MsgBackground = LoadSkinBitmap(SkinFilePath(source.SkinFolder, msgBackground));

    reader.Button("[connect]", "cnxbtnnormal", "cnxbtnselect", skin.Connect);
    reader.Button("[disconnect]", "disbtnnormal", "disbtnselect", skin.Disconnect);
    reader.Button("[readmsg]", "readbtnnormal", "readbtnselect", skin.RefreshBtn);
    reader.Button("[mailclient]", "runmailnormal", "runmailselect", skin.MAIL);

    skin.OnlinePath = reader.Path("[online]", "onlinebmp");
    skin.OfflinePath = reader.Path("[online]", "notonlinebmp");
    reader.Place("[online]", "position", skin.Online);

    skin.GotMailPath = reader.Path("[youhavemail]", "gotmail");
    skin.NoMailPath = reader.Path("[youhavemail]", "nomail");
    skin.FLAG.Shown = LoadSkinPicture(skin.NoMailPath);
    reader.Place("[youhavemail]", "position", skin.FLAG);

    skin.CountFontPath = reader.Path("[nbmsg]", "nbmsgbmp");
    reader.Pair("[nbmsg]", "size", skin.CountCellWidth, skin.CountCellHeight);
    reader.Place("[nbmsg]", "position", skin.NBMSGBMP);

    skin.StatusFontPath = reader.Path("[status]", "fontbmp");
    reader.Pair("[status]", "size", skin.StatusCellWidth, skin.StatusCellHeight);
    reader.Place("[status]", "position", skin.STATBMP);
    reader.Single("[status]", "maxchar", skin.MaxChar);
    if (skin.MaxChar == 0) {
        skin.MaxChar = 128;
    }

    ReadMsgWindow(reader, skin.MsgWindow);
    ReadPositions(source, skin);

    skin.WindowWidth = skin.Background.Width();
    skin.WindowHeight = skin.Background.Height();
    skin.WindowRegion = RegionFromBitmap(skin.Background, KeyColour, 0);
}

}  // namespace

std::string SkinFilePath(const std::string& skinFolder, const std::string& value) {
    std::string path = skinFolder + value;
    std::replace(path.begin() + static_cast<std::ptrdiff_t>(skinFolder.size()), path.end(), '\\',
                 '/');
    CheckSkinFile(skinFolder, path);
    return path;
}

bool ParseFontColor(const std::string& value, std::uint32_t& colour) {
    if (value == kEmptyMarker) {
        colour = 0;
        return true;
    }
    const auto comma = value.find(',');
    if (comma == std::string::npos) {
        return false;
    }
    const std::string rest = settings::TrimBlanks(std::string_view(value).substr(comma + 1));
    const auto second = rest.find(',');
    if (second == std::string::npos) {
        return false;
    }
    int red = 0;
    int green = 0;
    int blue = 0;
    if (!settings::ParseStandardInteger(settings::TrimBlanks(value.substr(0, comma)), red) ||
        !settings::ParseStandardInteger(rest.substr(0, second), green) ||
        !settings::ParseStandardInteger(settings::TrimBlanks(rest.substr(second + 1)), blue)) {
        return false;
    }
    colour =
        static_cast<std::uint32_t>(static_cast<long long>(red) + 256LL * green + 65536LL * blue);
    return true;
}

bool LoadSkin(MainWindowSkin& skin, const SkinSource& source, const settings::FatalSinks& sinks,
              bool redraw, const std::function<void()>& onRedraw, std::string* failure) {
    ++skin.Loads;
    try {
        Load(skin, source, sinks);
    } catch (const SkinError& e) {
        if (failure != nullptr) {
            *failure = e.what();
        }
        return false;
    }
    if (redraw && onRedraw) {
        onRedraw();
    }
    return true;
}

}  // namespace skin
