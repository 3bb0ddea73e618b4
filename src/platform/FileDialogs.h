#pragma once
// The open and save file dialogs. A dialog keeps its state between uses (the last file name
// and the filter chosen), as the caller holds it; tests answer the dialogs themselves.
#include <string>

namespace platform {

struct FileDialogState {
    // "text (*.txt)|*.txt|all (*.*)|*.*": pairs of caption and pattern.
    std::string Filter;
    // 1-based index of the selected filter pair; the user may change it.
    int FilterIndex = 1;
    // Preset before showing; the chosen full path after a confirmed dialog.
    std::string FileName;
    // Extension added to a name typed without one ("txt"); empty for none.
    std::string DefaultExt;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Shows the dialog modally; true when the user confirmed a file name.
    virtual bool ExecuteSave(FileDialogState& dialog) = 0;
    virtual bool ExecuteOpen(FileDialogState& dialog) = 0;
};

}  // namespace platform
