#include "platform/DesktopEntry.h"

namespace platform {

namespace {

bool EscapedInQuotes(char c) {
    return c == '"' || c == '`' || c == '$' || c == '\\';
}

// The escapes of a desktop entry string value; a backslash before any other character stays,
// so the quoting rules below still see it.
std::string DecodeStringEscapes(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[i + 1]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += value[i];
                continue;
        }
        ++i;
    }
    return out;
}

std::string EncodeStringEscapes(const std::string& value) {
    std::string out;
    for (char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool IsFlatpakMarker(const std::string& word) {
    return word == "@@" || word == "@@u";
}

}  // namespace

std::string QuoteExecArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (EscapedInQuotes(c)) {
            quoted += '\\';
        } else if (c == '%') {
            quoted += '%';
        }
        quoted += c;
    }
    quoted += '"';
    return EncodeStringEscapes(quoted);
}

std::vector<std::string> SplitExecLine(const std::string& value) {
    const std::string line = DecodeStringEscapes(value);
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    // A word holding a field code was there to carry a file or address, of which there is
    // none: it goes whole ("--to=%u" as well as "%u").
    bool hasFieldCode = false;
    bool quotedPart = false;
    const auto endWord = [&] {
        if (inWord && !hasFieldCode && (quotedPart || !IsFlatpakMarker(word))) {
            words.push_back(word);
        }
        word.clear();
        inWord = false;
        hasFieldCode = false;
        quotedPart = false;
    };
    bool inQuotes = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (inQuotes) {
            if (c == '"') {
                inQuotes = false;
            } else if (c == '\\' && i + 1 < line.size() && EscapedInQuotes(line[i + 1])) {
                word += line[++i];
            } else if (c == '%' && i + 1 < line.size() && line[i + 1] == '%') {
                word += line[++i];
            } else {
                word += c;
            }
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\n') {
            endWord();
            continue;
        }
        inWord = true;
        if (c == '"') {
            inQuotes = true;
            quotedPart = true;
        } else if (c == '%' && i + 1 < line.size()) {
            if (line[++i] == '%') {
                word += '%';
            } else {
                hasFieldCode = true;
            }
        } else {
            word += c;
        }
    }
    if (inQuotes) {
        return {};
    }
    endWord();
    return words;
}

}  // namespace platform
