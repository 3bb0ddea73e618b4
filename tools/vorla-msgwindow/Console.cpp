#include "Console.h"

namespace vorlamsg {

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
