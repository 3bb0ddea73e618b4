#include "settings/FindInSkin.h"

#include "settings/LineReader.h"

namespace settings {

namespace {

bool IsKeyCandidate(const std::string& line) {
    return !line.empty() && line.front() != ';';
}

std::string ValueOf(const std::string& line) {
    const auto equals = line.find('=');
    return TrimBlanks(equals == std::string::npos ? std::string_view(line)
                                                  : std::string_view(line).substr(equals + 1));
}

// The index of the first line after the section header, 0 without a section, or past the end
// when the header is missing.
std::size_t SectionStart(const std::vector<std::string>& lines, const std::string& section) {
    if (section.empty()) {
        return 0;
    }
    std::size_t at = 0;
    while (at < lines.size() &&
           !(IsKeyCandidate(lines[at]) && EqualsIgnoringCase(lines[at], section))) {
        ++at;
    }
    return at == lines.size() ? lines.size() + 1 : at + 1;
}

std::string LookUp(const std::vector<std::string>& lines, const std::string& section,
                   const std::string& key) {
    std::size_t at = SectionStart(lines, section);
    if (at > lines.size()) {
        return kEmptyMarker;
    }
    for (; at < lines.size(); ++at) {
        if (IsKeyCandidate(lines[at]) && ContainsIgnoringCase(lines[at], key)) {
            std::string value = ValueOf(lines[at]);
            return value.empty() ? std::string(kEmptyMarker) : value;
        }
    }
    return kEmptyMarker;
}

std::string LookUpExact(const std::vector<std::string>& lines, const std::string& section,
                        const std::string& key) {
    std::size_t at = SectionStart(lines, section);
    if (at > lines.size()) {
        return kEmptyMarker;
    }
    for (; at < lines.size(); ++at) {
        const std::string& line = lines[at];
        if (!section.empty() && !line.empty() && line.front() == '[') {
            break;
        }
        const auto equals = line.find('=');
        if (!IsKeyCandidate(line) || equals == std::string::npos ||
            !EqualsIgnoringCase(TrimBlanks(std::string_view(line).substr(0, equals)), key)) {
            continue;
        }
        std::string value = ValueOf(line);
        return value.empty() ? std::string(kEmptyMarker) : value;
    }
    return kEmptyMarker;
}

}  // namespace

std::string FindKeyInSection(const std::string& path, const std::string& section,
                             const std::string& key) {
    const auto lines = ReadTextLines(path);
    return lines ? LookUpExact(*lines, section, key) : std::string(kEmptyMarker);
}

void ReportFatal(const FatalSinks& sinks, const std::string& text) {
    sinks.dialogs.ShowMessage(text);
    sinks.exitRequest.RequestExit();
    throw FatalSettingsError(text);
}

std::string FindInSkin(const std::string& path, const std::string& section,
                       const std::string& key) {
    const auto lines = ReadTextLines(path);
    return lines ? LookUp(*lines, section, key) : std::string();
}

std::string FindInSkin(const std::string& path, const std::string& section, const std::string& key,
                       bool fatal, const FatalSinks& sinks) {
    const auto lines = ReadTextLines(path);
    if (!lines) {
        if (fatal && path.find("Accounts.ini") == std::string::npos) {
            ReportFatal(sinks, kVorlaIniNotFound);
        }
        return {};
    }
    return LookUp(*lines, section, key);
}

}  // namespace settings
