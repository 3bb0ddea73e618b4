#pragma once
// The text form of everything LitConfig holds in memory, one "name=value" line each.
#include <ostream>

#include "settings/Config.h"
#include "settings/Tables.h"

namespace vorlasettings {

// Main settings in the file's order (flags as 1 or 0), then "account.N.FIELD=" for every
// loaded account, then "filter.N=", "max_size=" and "auth_fltr=". A backslash in a value is
// shown as "\\" and a control character as "\xHH", so every entry stays on its own line.
void DumpSettings(std::ostream& out, const settings::Config& config,
                  const settings::Tables& tables);

}  // namespace vorlasettings
