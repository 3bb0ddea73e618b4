#include "ConsoleFaces.h"

#include <cstdlib>

#include "TerminalText.h"

namespace console {

std::string OneLine(const std::string& text) {
    return Printable(text, LineEnds::Named);
}

bool ParseNumber(const char* text, long min, long max, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= min && value <= max;
}

void PrintLine(std::ostream& out, const std::string& word, const std::string& text) {
    out << word << ": " << OneLine(text) << '\n' << std::flush;
}

platform::Answer ConsoleQuestions::Take(const std::string& text, platform::Answer unanswered) {
    PrintLine(m_out, "question", text);
    const platform::Answer answer = m_held.value_or(unanswered);
    m_held.reset();
    return answer;
}

bool ConsoleQuestions::Ask(const std::string& text) {
    return Take(text, platform::Answer::No) == platform::Answer::Yes;
}

platform::Answer ConsoleQuestions::AskYesNoCancel(const std::string& text) {
    return Take(text, platform::Answer::Cancel);
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
