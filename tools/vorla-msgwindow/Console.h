#pragma once
// The desktop of vorla-msgwindow: the main window, the shell and the dialogs print what they
// are asked to show, one line each, and the file dialogs answer as the current step says.
#include <optional>
#include <ostream>
#include <string>

#include "monitor/MonitorView.h"
#include "platform/Desktop.h"
#include "platform/FileDialogs.h"

namespace vorlamsg {

// Writes "prefix: text" with CR and LF in text shown as \r and \n, so each is one line.
void PrintLine(std::ostream& out, const std::string& prefix, const std::string& text);

// The main window: remembers the status text last drawn; message boxes are printed.
class ConsoleMainView final : public monitor::MonitorView {
public:
    explicit ConsoleMainView(std::ostream& out) : m_out(out) {}

    const std::string& LastStatus() const { return m_status; }
    bool ExitRequested() const { return m_exitRequested; }

    void ShowMessage(const std::string& text) override { PrintLine(m_out, "message", text); }
    void RequestExit() override { m_exitRequested = true; }
    void DrawStatus(const std::string& text) override { m_status = text; }
    void DrawCount(int) override {}
    void TextImageChanged(skin::TextImage) override {}
    void FlagChanged(monitor::FlagPicture) override {}
    void OnlineChanged(bool) override {}
    void SkinLoaded() override {}
    void SetOnlineHint(const std::string&) override {}
    void SetTrayIcon(monitor::TrayIcon) override {}
    void ShowTrayIcon(monitor::TrayIcon, bool) override {}
    void RemoveTrayIcon() override {}
    bool IsWindowVisible() override { return m_visible; }
    void ShowWindow() override { m_visible = true; }
    void HideWindow() override { m_visible = false; }
    void BringToFront() override {}
    void Repaint() override {}
    void CloseMainWindow() override {}
    monitor::WindowPosition Position() override { return {}; }
    void ApplyOnTop(bool) override {}
    void SetBusyCursor(bool) override {}
    void SetButtonsEnabled(bool) override {}
    void PlaySound(const std::string&) override {}
    void PopupAccountMenu(const std::vector<monitor::AccountMenuItem>&) override {}
    void PopupMainMenu() override {}

private:
    std::ostream& m_out;
    std::string m_status;
    bool m_visible = true;
    bool m_exitRequested = false;
};

// Opens nothing; prints what it would open.
class ConsoleShell final : public platform::Shell {
public:
    explicit ConsoleShell(std::ostream& out) : m_out(out) {}
    bool OpenDocument(const std::string& target) override;
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override;

private:
    std::ostream& m_out;
};

// Message boxes of the message window, and its file dialogs answered by the running step.
class ConsoleDialogs final : public platform::Dialogs, public platform::FileDialogs {
public:
    explicit ConsoleDialogs(std::ostream& out) : m_out(out) {}

    // Every save dialog gets folder + "/" + the name it proposes.
    void AnswerSaveInFolder(const std::string& folder) { m_folder = folder, m_file.reset(); }
    // Every dialog gets this file.
    void AnswerWithFile(const std::string& file) { m_file = file, m_folder.reset(); }
    // Dialogs are cancelled.
    void Cancel() { m_folder.reset(), m_file.reset(); }

    void ShowMessage(const std::string& text) override { PrintLine(m_out, "message", text); }
    bool ExecuteSave(platform::FileDialogState& dialog) override;
    bool ExecuteOpen(platform::FileDialogState& dialog) override;

private:
    std::ostream& m_out;
    std::optional<std::string> m_folder;
    std::optional<std::string> m_file;
};

}  // namespace vorlamsg
