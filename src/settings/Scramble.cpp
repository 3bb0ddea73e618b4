#include "settings/Scramble.h"

#include <utility>

#include "platform/Secrets.h"
#include "settings/LineReader.h"

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

bool StoredPasswordKeeps(const std::string& text) {
    std::string stored = StoredPassword(text);
    std::string read = TrimBlanks(stored);
    std::string back = UnscramblePassword(read);
    const bool keeps = back == text;
    platform::SecureClear(stored);
    platform::SecureClear(read);
    platform::SecureClear(back);
    return keeps;
}

std::string PasswordHex(const std::string& text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        hex += kDigits[code >> 4];
        hex += kDigits[code & 0xf];
    }
    return hex;
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

bool PasswordFromHex(const std::string& hex, std::string& text) {
    if (hex.size() % 2 != 0) {
        return false;
    }
    std::string bytes(hex.size() / 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = HexDigit(hex[2 * i]);
        const int low = HexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0) {
            platform::SecureClear(bytes);
            return false;
        }
        bytes[i] = static_cast<char>(high * 16 + low);
    }
    platform::SecureClear(text);
    text = std::move(bytes);
    return true;
}

}  // namespace settings
