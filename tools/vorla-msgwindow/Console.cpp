#include "Console.h"

#include <filesystem>

#include "msgwindow/AttachmentName.h"

namespace vorlamsgwindow {

bool ConsoleDialogs::ExecuteSave(platform::FileDialogState& dialog) {
    PrintLine(m_out, "dialog", "save " + dialog.FileName);
    if (m_folder) {
        // Saving without a dialog never replaces a file that is there already.
        const std::string folder = *m_folder + "/";
        const auto exists = [&folder](const std::string& name) {
            std::error_code error;
            return std::filesystem::exists(std::filesystem::symlink_status(folder + name, error));
        };
        dialog.FileName = folder + msgwindow::FreeName(dialog.FileName, exists);
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

}  // namespace vorlamsgwindow
