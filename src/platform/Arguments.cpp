#include "platform/Desktop.h"

namespace platform {

std::vector<std::string> SplitArguments(const std::string& text) {
    std::vector<std::string> args;
    std::string current;
    bool inQuotes = false;
    bool hasArg = false;
    for (char c : text) {
        if (c == '"') {
            inQuotes = !inQuotes;
            hasArg = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (hasArg) {
                args.push_back(current);
                current.clear();
                hasArg = false;
            }
        } else {
            current += c;
            hasArg = true;
        }
    }
    if (hasArg) {
        args.push_back(current);
    }
    return args;
}

}  // namespace platform
