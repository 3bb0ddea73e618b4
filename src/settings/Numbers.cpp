#include "settings/Numbers.h"

#include <climits>

namespace settings {

namespace {

int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

// Digits (at least one) in the given base with an already consumed sign.
bool ParseDigits(std::string_view digits, int base, bool negative, int& out) {
    if (digits.empty()) {
        return false;
    }
    long long value = 0;
    for (const char c : digits) {
        const int digit = DigitValue(c, base);
        if (digit < 0) {
            return false;
        }
        value = value * base + digit;
        if (value > static_cast<long long>(INT_MAX) + 1) {
            return false;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX || value < INT_MIN) {
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

bool TakeSign(std::string_view& text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    return negative;
}

}  // namespace

bool ParseDecimal(std::string_view text, int& out) {
    const bool negative = TakeSign(text);
    return ParseDigits(text, 10, negative, out);
}

bool ParseStandardInteger(std::string_view text, int& out) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    const bool negative = TakeSign(text);
    if (!text.empty() && text.front() == '$') {
        return ParseDigits(text.substr(1), 16, negative, out);
    }
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return ParseDigits(text.substr(2), 16, negative, out);
    }
    return ParseDigits(text, 10, negative, out);
}

}  // namespace settings
