#include "ConsoleFaces.h"

#include <cstdlib>

namespace console {

std::string OneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    for (const char c : text) {
        if (c == '\r') {
            line += "\\r";
        } else if (c == '\n') {
            line += "\\n";
        } else {
            line += c;
        }
    }
    return line;
}

bool ParseNumber(const char* text, long min, long max, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= min && value <= max;
}

void PrintLine(std::ostream& out, const std::string& word, const std::string& text) {
    out << word << ": " << OneLine(text) << '\n' << std::flush;
}

bool ConsoleShell::OpenDocument(const std::string& target) {
    PrintLine(m_out, "shell", target);
    return true;
}

bool ConsoleShell::StartProgram(const std::string& program, const std::vector<std::string>& args) {
    std::string line = program;
    for (const std::string& arg : args) {
        line += " " + arg;
    }
    PrintLine(m_out, "shell", line);
    return true;
}

}  // namespace console
