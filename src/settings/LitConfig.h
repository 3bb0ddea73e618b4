#pragma once
// Start-up reading of the three settings files of a program folder.
#include <string>

#include "settings/Config.h"
#include "settings/FindInSkin.h"
#include "settings/Tables.h"

namespace settings {

inline constexpr const char* kVorlaIni = "Vorla.ini";
inline constexpr const char* kAccountsIni = "Accounts.ini";
inline constexpr const char* kFilterIni = "VrFilter.ini";

// Reads "Vorla.ini", "VrFilter.ini" and "Accounts.ini" of folder (the program folder, with or
// without a trailing "/") into config and tables. The tables are emptied first.
// Without a readable "Vorla.ini" holding "current_skin" the fault is reported through sinks
// and FatalSettingsError is thrown; nothing is written.
// The window positions keep their values: the skin load reads them (ReadWindowPositions).
// Applying what was read is the caller's: the On Top check mark and window state from
// config.ontop, the ticker interval from TickerIntervalForSpeed(config.speed).
void LitConfig(const std::string& folder, Config& config, Tables& tables, const FatalSinks& sinks);

// The window positions as the skin load reads them from "Vorla.ini": an absent key keeps the
// default (50, 50, 50, 100), any other value is converted with ParseStandardInteger. Returns
// false at the first value that does not convert; the positions read before it are kept.
bool ReadWindowPositions(const std::string& folder, Config& config);

}  // namespace settings
