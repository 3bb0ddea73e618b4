#include "ConsoleFaces.h"

#include "TerminalText.h"

namespace console {

std::string OneLine(const std::string& text) {
    return Printable(text, LineEnds::Named);
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
