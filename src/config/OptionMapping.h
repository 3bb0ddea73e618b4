#pragma once
// The settings shown by the dialog's controls: filled before each showing, taken back on OK.
#include <string>
#include <vector>

#include "config/DialogControls.h"
#include "settings/Config.h"
#include "settings/Tables.h"

namespace config {

// Puts every mapped setting into its control, and fills the lists: the dial-up entries, the
// news servers (whole server lines), the account names (first selected) and the filters.
void FillOptions(DialogControls& controls, const settings::Config& config,
                 const settings::Tables& tables, const std::vector<std::string>& dialUpEntries,
                 const std::vector<std::string>& newsServers);

// Stores every mapped control into its setting. Text that is not a number is taken as 1 for the
// size limit, 10 for the line count and 25 for the SMTP port; an up-down field keeps the
// previous value then. The SMTP fingerprint is taken as it is: OK checks it before. The autorun
// flag is stored only when its box changed; the result says whether it did, so that the caller
// updates the autorun entry.
bool TakeOptions(const DialogControls& controls, settings::Config& config);

}  // namespace config
