#include "config/DialogContext.h"

#include "settings/Numbers.h"
#include "settings/Writers.h"

namespace config {

bool DialogContext::SaveAccounts() {
    try {
        settings::SaveAccounts(Folder, Tables);
        return true;
    } catch (const std::exception& e) {
        Dialogs.ShowMessage(e.what());
    }
    return false;
}

void DialogContext::SaveFilters() {
    try {
        settings::SaveFilters(Folder, Controls["FilterLst"].Items, Controls["SizeAtt"].Text,
                              Controls["ChkAutFltr"].Checked, Tables);
    } catch (const std::exception& e) {
        Dialogs.ShowMessage(e.what());
    }
}

int NumberOr(const std::string& text, int fallback) {
    int value = 0;
    return settings::ParseDecimal(text, value) ? value : fallback;
}

int PortOr(const std::string& text, int fallback) {
    const int port = NumberOr(text, fallback);
    return port >= 1 && port <= 65535 ? port : fallback;
}

int IndexInRange(int index, std::size_t count) {
    return index >= 0 && static_cast<std::size_t>(index) < count ? index : 0;
}

}  // namespace config
