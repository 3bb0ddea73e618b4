#pragma once
// The built parts of the main popup menu as data: the Qt menu shows them after the fixed items.
#include <string>
#include <vector>

namespace monitor {

struct NewsMenuItem {
    std::string Caption;  // the server's name
    int Tag = 0;          // its index in NewsServers
};

struct MainMenuModel {
    std::vector<NewsMenuItem> NewsItems;
    std::vector<std::string> SkinItems;  // skin folder names, in menu order
    std::string CurrentSkin;             // the item of the skin in use; empty when none is
    bool OnTopChecked = false;
};

// The folders of skinDir that hold a "skin.ini" (found ignoring letter case), each inserted
// before the first listed name that is not smaller when both are lower-cased; a missing
// folder gives an empty list.
std::vector<std::string> ListSkinFolders(const std::string& skinDir);

// Inserts name before the first caption whose lower-cased text is not less than its own.
void InsertSkinSorted(std::vector<std::string>& captions, const std::string& name);

// skinDir and a name joined into a skin folder path ending in "/".
std::string SkinFolderOf(const std::string& skinDir, const std::string& name);

// The name among names whose folder in skinDir is skinFolder; empty when none is.
std::string SkinInUse(const std::vector<std::string>& names, const std::string& skinDir,
                      const std::string& skinFolder);

}  // namespace monitor
