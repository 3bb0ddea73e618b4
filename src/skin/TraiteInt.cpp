#include "skin/TraiteInt.h"

#include "settings/FindInSkin.h"
#include "settings/Numbers.h"

namespace skin {

bool TraiteInt(std::string_view value, int& first, int& second) {
    if (value.empty() || value == settings::kEmptyMarker) {
        first = 0;
        second = 0;
        return true;
    }
    const auto comma = value.find(',');
    if (comma == std::string_view::npos) {
        return settings::ParseStandardInteger(value, first);
    }
    return settings::ParseStandardInteger(value.substr(0, comma), first) &&
           settings::ParseStandardInteger(value.substr(comma + 1), second);
}

}  // namespace skin
