#include "skin/SkinInfo.h"

#include "platform/FileRead.h"
#include "settings/LineReader.h"
#include "skin/SkinError.h"

namespace skin {

namespace {

void Apply(SkinInfo& info, const std::string& line) {
    struct Field {
        const char* key;
        std::string SkinInfo::*target;
    };
    static const Field kFields[] = {{"skin_name", &SkinInfo::Name},
                                    {"skin_author", &SkinInfo::Author},
                                    {"skin_mail", &SkinInfo::Mail},
                                    {"skin_web", &SkinInfo::Web},
                                    {"skin_info", &SkinInfo::Info}};
    for (const Field& field : kFields) {
        if (!settings::ContainsIgnoringCase(line, field.key)) {
            continue;
        }
        const auto equals = line.find('=');
        info.*field.target = settings::TrimBlanks(equals == std::string::npos
                                                      ? std::string_view(line)
                                                      : std::string_view(line).substr(equals + 1));
    }
}

}  // namespace

SkinInfo ReadSkinInfo(const std::string& fileName) {
    const auto read = platform::TryReadFile(fileName);
    if (!read) {
        throw SkinError("cannot open " + fileName);
    }
    const std::string& content = *read;
    SkinInfo info;
    const auto slash = fileName.find_last_of('/');
    info.Folder = slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
    std::string line;
    for (std::size_t i = 0; i <= content.size(); ++i) {
        const bool end = i == content.size();
        const char c = end ? '\n' : content[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') {
            ++i;
        }
        Apply(info, line);
        line.clear();
    }
    return info;
}

}  // namespace skin
