#include "settings/Tables.h"

#include "settings/LineReader.h"

namespace settings {

void ClearTables(Tables& tables) {
    tables = Tables{};
}

std::string TlsModeText(const std::string& value) {
    for (const char* mode : {"tls", "starttls", "off"}) {
        if (EqualsIgnoringCase(value, mode)) {
            return mode;
        }
    }
    return "auto";
}

}  // namespace settings
