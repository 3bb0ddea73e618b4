#include "TerminalText.h"

#include <cstdio>

namespace console {

std::string Printable(std::string_view text, LineEnds lineEnds) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '\\') {
            shown += "\\\\";
        } else if (lineEnds == LineEnds::Named && c == '\r') {
            shown += "\\r";
        } else if (lineEnds == LineEnds::Named && c == '\n') {
            shown += "\\n";
        } else if ((code < 0x20 && c != '\t') || code == 0x7f) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", code);
            shown += hex;
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace console
