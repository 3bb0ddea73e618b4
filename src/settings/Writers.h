#pragma once
// The writers of the three settings files. Each rewrites its file whole, line by line in the
// file's fixed order, every line ended by CR LF, through WriteFileAtomically: a failed write
// throws SettingsWriteError and leaves the previous file as it was. A CR, LF or Ctrl-Z inside a
// text value is written as a blank, so no value can add lines or cut the file short.
#include <string>
#include <vector>

#include "settings/AtomicFile.h"
#include "settings/Config.h"
#include "settings/Tables.h"

namespace settings {

// Writes "Vorla.ini" into folder from config as it is now; the caller first puts the main
// window's left and top, the On Top check mark and the message window position into config.
void SaveConfig(const std::string& folder, const Config& config);

// Writes "Accounts.ini" into folder from accounts 1 to AccountCount, passwords scrambled.
// The file holds passwords and is created readable and writable by its owner only.
void SaveAccounts(const std::string& folder, const Tables& tables);

// Writes "VrFilter.ini" into folder from the dialog's filter list (in list order, at most
// kMaxFilters of them), its size field exactly as typed and the author filter check box, then
// sets FilterTable and FilterCount from that list. The tables are left alone when writing fails.
void SaveFilters(const std::string& folder, const std::vector<std::string>& filterList,
                 const std::string& sizeField, bool authorFilter, Tables& tables);

}  // namespace settings
