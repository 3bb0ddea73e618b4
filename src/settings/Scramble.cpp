#include "settings/Scramble.h"

namespace settings {

std::string ScramblePassword(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        const int code = static_cast<unsigned char>(c);
        c = static_cast<char>(static_cast<unsigned char>((2 * code - 8) & 0xff));
    }
    return result;
}

std::string UnscramblePassword(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        const int code = static_cast<unsigned char>(c);
        // C++ division truncates toward zero, as the stored form requires for codes below 12.
        c = static_cast<char>(static_cast<unsigned char>(((code - 12) / 2 + 10) & 0xff));
    }
    return result;
}

std::string StoredPassword(const std::string& text) {
    std::string stored = ScramblePassword(text);
    for (char& c : stored) {
        if (c == '\x1a') {
            c = '\x1b';
        } else if (c == '\n') {
            c = '\t';
        }
    }
    return stored;
}

}  // namespace settings
