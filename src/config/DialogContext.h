#pragma once
// What every page of the configuration dialog works on: its controls, the settings and tables
// held by the main window, the settings folder and the message box. The pages share one.
#include <string>

#include "config/DialogControls.h"
#include "platform/Dialogs.h"
#include "settings/Config.h"
#include "settings/Tables.h"

namespace config {

class DialogContext {
public:
    DialogContext(DialogControls& controls, settings::Config& config, settings::Tables& tables,
                  std::string folder, platform::Dialogs& dialogs)
        : Controls(controls),
          Config(config),
          Tables(tables),
          Folder(std::move(folder)),
          Dialogs(dialogs) {}

    // Writes "Accounts.ini" from the table; a refused or failed write is shown in a message box,
    // and the
    // table keeps the change (it is written again with the next change).
    // True when the file was written.
    bool SaveAccounts();
    // Writes "VrFilter.ini" from the filter list, the size field and the author filter box,
    // and makes the filter table equal to the list; a failed write is shown and changes nothing.
    void SaveFilters();

    DialogControls& Controls;
    settings::Config& Config;
    settings::Tables& Tables;
    const std::string Folder;  // the settings folder, ending in "/"
    platform::Dialogs& Dialogs;
    std::string Focused;  // the control that has the focus, as the logic last put it
};

// The text as a decimal number, or fallback when it is not one.
int NumberOr(const std::string& text, int fallback);

// The text as a TCP port (1 to 65535), or fallback when it is not one.
int PortOr(const std::string& text, int fallback);

// A list's entries as the dialog fills them: the selected index, or 0 when out of range.
int IndexInRange(int index, std::size_t count);

}  // namespace config
