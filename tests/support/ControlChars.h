#pragma once
// Whether a text holds a control character other than a tab: what a decoded header word or a
// file name taken from a message must never bring in.
#include <string>

namespace testsupport {

inline bool HasControl(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 32 && c != '\t')
            return true;
    return false;
}

}  // namespace testsupport
