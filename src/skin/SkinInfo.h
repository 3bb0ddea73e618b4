#pragma once
// The skin information that the option page shows about a skin.ini.
#include <string>

namespace skin {

struct SkinInfo {
    std::string Folder;  // the folder part of the file name, with its trailing "/"
    std::string Name;
    std::string Author;
    std::string Mail;  // also the link target of its label
    std::string Web;   // also the link target of its label
    std::string Info;
};

// Reads every line of fileName (lines end at CR, LF or CR LF); a line whose lower-cased text
// contains "skin_name", "skin_author", "skin_mail", "skin_web" or "skin_info" gives that field
// the trimmed text after its first "=" (the whole line without one); a later line wins.
// Throws SkinError when the file cannot be opened or read.
SkinInfo ReadSkinInfo(const std::string& fileName);

}  // namespace skin
