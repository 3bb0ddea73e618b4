#include "settings/Commun.h"

namespace settings {

void ClearTables(Tables& tables) {
    tables = Tables{};
}

}  // namespace settings
