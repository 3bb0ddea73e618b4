#include "Console.h"

namespace vorlamsg {

void PrintLine(std::ostream& out, const std::string& prefix, const std::string& text) {
    std::string line = prefix + ": ";
    for (const char c : text) {
        if (c == '\r')
            line += "\\r";
        else if (c == '\n')
            line += "\\n";
        else
            line += c;
    }
    out << line << '\n' << std::flush;
}

bool ConsoleShell::OpenDocument(const std::string& target) {
    PrintLine(m_out, "shell", target);
    return true;
}

bool ConsoleShell::StartProgram(const std::string& program, const std::vector<std::string>& args) {
    std::string line = program;
    for (const std::string& arg : args)
        line += " " + arg;
    PrintLine(m_out, "shell", line);
    return true;
}

bool ConsoleDialogs::ExecuteSave(platform::FileDialogState& dialog) {
    PrintLine(m_out, "dialog", "save " + dialog.FileName);
    if (m_folder) {
        dialog.FileName = *m_folder + "/" + dialog.FileName;
        return true;
    }
    if (m_file) {
        dialog.FileName = *m_file;
        return true;
    }
    return false;
}

bool ConsoleDialogs::ExecuteOpen(platform::FileDialogState& dialog) {
    m_out << "dialog: open\n" << std::flush;
    if (!m_file)
        return false;
    dialog.FileName = *m_file;
    return true;
}

}  // namespace vorlamsg
