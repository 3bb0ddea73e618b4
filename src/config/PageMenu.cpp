#include "config/PageMenu.h"

namespace config {

const std::vector<PageMenuItem>& PageMenuItems() {
    static const std::vector<PageMenuItem> items = {
        {"MnuOp", "Main Options", 0, "OptPan"},
        {"N1", "", -1, ""},
        {"MnuCpt", "Incoming Mails (POP3)", 1, "PopPan"},
        {"VrMail1", "Outgoing Mails (SMTP)", 5, "AdvPan"},
        {"MnuNews", "Filters / News", 2, "FiltrePan"},
        {"N2", "", -1, ""},
        {"MnuSkin", "Change Skin", 3, "SkinPan"},
        {"N3", "", -1, ""},
        {"MnuAbout", "Informations ...", 4, "InfoPan"},
    };
    return items;
}

std::optional<PageMenuItem> PageMenuItemOfTag(int tag) {
    for (const PageMenuItem& item : PageMenuItems()) {
        if (!item.Caption.empty() && item.Tag == tag) {
            return item;
        }
    }
    return std::nullopt;
}

}  // namespace config
