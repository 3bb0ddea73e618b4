#pragma once
// The Linux implementations of the desktop services.
#include "platform/Desktop.h"

#include <memory>

namespace platform {

class CanberraSound final : public Sound {
public:
    CanberraSound();
    ~CanberraSound() override;
    CanberraSound(const CanberraSound&) = delete;
    CanberraSound& operator=(const CanberraSound&) = delete;
    void PlayFile(const std::string& path) override;

private:
    struct Context;
    std::unique_ptr<Context> m_context;
};

// Starts everything through fork/exec with an argument vector; never through a shell string.
class XdgShell final : public Shell {
public:
    bool OpenDocument(const std::string& target) override;
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override;
};

// $XDG_CONFIG_HOME/autostart/Vorla.desktop (default ~/.config/autostart); its Exec= holds the
// program path quoted, so any folder name works.
class XdgAutorun final : public Autorun {
public:
    void Enable(const std::string& programPath) override;
    void Disable() override;
    static std::string EntryPath();
};

// Asks xdg-mime for the mailto handler's desktop file and reads its Exec line.
class XdgMailtoHandler final : public MailtoHandler {
public:
    std::string Command() override;
    // The Exec= value of the [Desktop Entry] group of a desktop file's text, as written there
    // (SplitExecLine reads it); empty when absent.
    static std::string ExecLine(const std::string& desktopFileText);
};

// The user's download folder, ending in "/": the one `xdg-user-dir DOWNLOAD` names when it
// exists, else the home folder.
std::string DownloadFolder();

}  // namespace platform
