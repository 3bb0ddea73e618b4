#pragma once
// The dialog's page menu: its items in menu order, each with its tag and page.
#include <optional>
#include <string>
#include <vector>

namespace config {

struct PageMenuItem {
    std::string Name;     // also names the item's picture
    std::string Caption;  // empty for a separator
    int Tag = -1;
    std::string Page;
};

// The items of the page menu in menu order, separators included.
const std::vector<PageMenuItem>& PageMenuItems();

// The item of a tag, or nothing for a tag no item carries.
std::optional<PageMenuItem> PageMenuItemOfTag(int tag);

}  // namespace config
