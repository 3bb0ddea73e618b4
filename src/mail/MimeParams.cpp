#include "mail/MimeParams.h"

#include <map>
#include <vector>

#include "mail/QelMIME.h"
#include "mail/qel_util.h"

namespace mail {

namespace {

struct RawParam {
    std::string attribute;  // lower case
    std::string value;      // unquoted
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Where the value begins: after the header's name when the line has one.
std::size_t ValueStart(const std::string& line) {
    const std::size_t colon = line.find(':');
    return colon != std::string::npos && colon < line.find_first_of(";=\"") ? colon + 1 : 0;
}

// The end of the value before the parameters: a ";" or, for a sender who left out the ";", a
// blank after it.
std::size_t ValueEnd(const std::string& line, std::size_t from) {
    while (from < line.size() && IsBlank(line[from]))
        ++from;
    const std::size_t end = line.find_first_of("; \t", from);
    return end == std::string::npos ? line.size() : end;
}

std::vector<RawParam> ReadParams(const std::string& line) {
    std::vector<RawParam> params;
    std::size_t at = ValueEnd(line, ValueStart(line));
    while (at < line.size()) {
        while (at < line.size() && (IsBlank(line[at]) || line[at] == ';'))
            ++at;
        const std::size_t equals = line.find_first_of("=;", at);
        if (equals == std::string::npos || line[equals] == ';') {
            at = equals;  // an attribute without a value names nothing
            continue;
        }
        RawParam param{LowerCase(Trim(line.substr(at, equals - at))), ""};
        at = equals + 1;
        while (at < line.size() && IsBlank(line[at]))
            ++at;
        if (at < line.size() && line[at] == '"') {
            // A quoted string: a backslash takes the next character as it is; an unclosed
            // quote runs to the end of the line.
            for (++at; at < line.size() && line[at] != '"'; ++at) {
                if (line[at] == '\\' && at + 1 < line.size())
                    ++at;
                param.value += line[at];
            }
            at = line.find(';', at);
        } else {
            const std::size_t end = line.find(';', at);
            param.value = Trim(line.substr(at, end == std::string::npos ? end : end - at));
            at = end;
        }
        params.push_back(std::move(param));
    }
    return params;
}

// %XX bytes decoded; a "%" not followed by two hexadecimal digits stays as it is.
std::string PercentDecode(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
        const int low = high < 0 ? -1 : HexValue(text[i + 2]);
        if (low < 0) {
            bytes += text[i];
        } else {
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return bytes;
}

// The charset'language' prefix of the first encoded piece read past.
std::string WithoutCharset(const std::string& value) {
    const std::size_t first = value.find('\'');
    const std::size_t second = first == std::string::npos ? first : value.find('\'', first + 1);
    return second == std::string::npos ? value : value.substr(second + 1);
}

// The section number of "key*N" or "key*N*"; -1 for any other attribute.
int SectionOf(const std::string& attribute, const std::string& key, bool& encoded) {
    if (attribute.size() <= key.size() + 1 || attribute.compare(0, key.size(), key) != 0 ||
        attribute[key.size()] != '*')
        return -1;
    std::string digits = attribute.substr(key.size() + 1);
    encoded = !digits.empty() && digits.back() == '*';
    if (encoded)
        digits.pop_back();
    // Real senders split a value into a few dozen sections at most.
    if (digits.empty() || digits.size() > 4 || (digits.size() > 1 && digits[0] == '0'))
        return -1;
    int number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

}  // namespace

std::string MimeValue(const std::string& line) {
    const std::size_t start = ValueStart(line);
    return Trim(line.substr(start, ValueEnd(line, start) - start));
}

bool GetMimeParam(const std::string& line, const std::string& key, std::string& value) {
    const std::string name = LowerCase(key);
    const std::vector<RawParam> params = ReadParams(line);
    // The first of each attribute counts, as a sender that repeats one meant the first.
    std::map<int, std::pair<std::string, bool>> sections;
    const RawParam* plain = nullptr;
    const RawParam* extended = nullptr;
    for (const RawParam& param : params) {
        bool encoded = false;
        const int section = SectionOf(param.attribute, name, encoded);
        if (section >= 0)
            sections.emplace(section, std::make_pair(param.value, encoded));
        else if (param.attribute == name && plain == nullptr)
            plain = &param;
        else if (param.attribute == name + "*" && extended == nullptr)
            extended = &param;
    }
    if (sections.count(0) != 0) {
        value.clear();
        for (int number = 0; sections.count(number) != 0; ++number) {
            const auto& [text, encoded] = sections[number];
            if (!encoded)
                value += text;
            else
                value += PercentDecode(number == 0 ? WithoutCharset(text) : text);
        }
        return true;
    }
    if (extended != nullptr) {
        value = PercentDecode(WithoutCharset(extended->value));
        return true;
    }
    if (plain != nullptr) {
        value = plain->value;
        return true;
    }
    return false;
}

}  // namespace mail
