#pragma once
// What the configuration dialog reaches outside its own controls: the file dialogs, the main
// window's skin, and the message window shown as a skin preview. The desktop program and the
// headless tool each give their own.
#include <optional>
#include <string>

namespace config {

// One use of the shared open dialog.
struct OpenRequest {
    std::string Filter;      // the filter list as set, "description | pattern | ..."
    int FilterIndex = 1;     // the filter selected, from 1
    std::string InitialDir;  // empty: the dialog's own choice
    std::string FileName;    // the name proposed
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen file, or nothing when the user cancels.
    virtual std::optional<std::string> OpenFile(const OpenRequest& request) = 0;
    // The chosen folder, or nothing when the user cancels.
    virtual std::optional<std::string> PickFolder(const std::string& caption) = 0;
};

// The main window as the skin page uses it.
class SkinHost {
public:
    virtual ~SkinHost() = default;
    virtual bool IsMainWindowVisible() = 0;
    virtual void ShowMainWindow() = 0;
    // Applies the skin of the settings' SkinFolder to both windows. False when it cannot be
    // applied; a broken skin chosen here must not end the program.
    virtual bool LoadSkin() = 0;
    virtual void RepaintMainWindow() = 0;
};

// The message window while the skin page previews a skin in it.
class MessagePreview {
public:
    virtual ~MessagePreview() = default;
    virtual bool IsVisible() = 0;
    // Shows the window without blocking, with the skin in use.
    virtual void ShowPreview() = 0;
    virtual void Hide() = 0;
};

}  // namespace config
