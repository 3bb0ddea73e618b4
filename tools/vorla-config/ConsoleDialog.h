#pragma once
// The faces of vorla-config: the main window, the shell and the file dialogs print one line for
// each thing a user would see, and the dialog runs the user actions read from a stream.
#include <deque>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "config/ConfigServices.h"
#include "config/TConfig.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorView.h"

namespace vorlaconfig {

// Writes "word: text" with CR and LF inside the text shown as \r and \n.
void PrintLine(std::ostream& out, const std::string& word, const std::string& text);

// The main window without a window: message boxes are printed, the rest only tracked.
class ConsoleView final : public monitor::MonitorView {
public:
    explicit ConsoleView(std::ostream& out) : m_out(out) {}
    // Where the window stands: the place the skin load gave it.
    void Attach(const monitor::TVorla& vorla) { m_vorla = &vorla; }

    void ShowMessage(const std::string& text) override { PrintLine(m_out, "message", text); }
    void RequestExit() override { m_exitRequested = true; }
    void DrawStatus(const std::string&) override {}
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
    monitor::WindowPosition Position() override;
    void ApplyOnTop(bool) override {}
    void SetBusyCursor(bool) override {}
    void SetButtonsEnabled(bool) override {}
    void PlaySound(const std::string&) override {}
    void PopupAccountMenu(const std::vector<monitor::AccountMenuItem>&) override {}
    void PopupMainMenu() override {}

    bool ExitRequested() const { return m_exitRequested; }

private:
    std::ostream& m_out;
    const monitor::TVorla* m_vorla = nullptr;
    bool m_visible = true;
    bool m_exitRequested = false;
};

class ConsoleShell final : public platform::Shell {
public:
    explicit ConsoleShell(std::ostream& out) : m_out(out) {}
    bool OpenDocument(const std::string& target) override;
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override;

private:
    std::ostream& m_out;
};

// Each dialog prints its line and takes the answer given before it ("answer PATH" or
// "answer cancel"); without one it is cancelled.
class ConsoleFileDialogs final : public config::FileDialogs {
public:
    explicit ConsoleFileDialogs(std::ostream& out) : m_out(out) {}
    std::optional<std::string> OpenFile(const config::OpenRequest& request) override;
    std::optional<std::string> PickFolder(const std::string& caption) override;
    void Answer(std::optional<std::string> answer) { m_answers.push_back(std::move(answer)); }

private:
    std::optional<std::string> Next();

    std::ostream& m_out;
    std::deque<std::optional<std::string>> m_answers;
};

// Runs one action per line of in against the dialog until it ends or the input does; later
// lines are left unread. Lines it cannot use are reported on err and skipped.
void RunActions(config::TConfig& dialog, ConsoleFileDialogs& files, std::istream& in,
                std::ostream& out, std::ostream& err);

}  // namespace vorlaconfig
