#pragma once
// The faces the headless tools give the program instead of windows: each thing a user would
// see becomes one printed line, the rest does nothing.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "monitor/MonitorView.h"
#include "monitor/Services.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"

namespace console {

// The text with CR and LF written as \r and \n, so that it stays on one output line, and its
// other control bytes as \xNN (Printable).
std::string OneLine(const std::string& text);

// Writes "word: text" as one line.
void PrintLine(std::ostream& out, const std::string& word, const std::string& text);

// Question boxes: each is printed as "question: TEXT" and takes the answer held for it, given
// before the action that asks; without one it is answered No (Cancel for the three-way one).
class ConsoleQuestions {
public:
    explicit ConsoleQuestions(std::ostream& out) : m_out(out) {}
    // The answer to the next question; it is used once.
    void Hold(platform::Answer answer) { m_held = answer; }
    bool Ask(const std::string& text);
    platform::Answer AskYesNoCancel(const std::string& text);

private:
    platform::Answer Take(const std::string& text, platform::Answer unanswered);

    std::ostream& m_out;
    std::optional<platform::Answer> m_held;
};

// A whole decimal number from min to max; false (value unusable) for anything else.
bool ParseNumber(const char* text, long min, long max, long& value);

// The tools' --timeout: the bound in ms of every wait for a POP3 server, and its range.
inline constexpr long kDefaultTimeOutMs = 60000;
inline constexpr long kMaxTimeOutMs = 3600000;

// Quiet parts of the main window's face: a tool implements the parts it shows and takes these
// for the rest.
class QuietStatus : public monitor::StatusView {
public:
    void DrawStatus(const std::string&) override {}
    void DrawCount(const std::string&) override {}
    void TextImageChanged(skin::TextImage) override {}
    void FlagChanged(monitor::FlagPicture) override {}
    void OnlineChanged(bool) override {}
    void SkinLoaded() override {}
    void SetOnlineHint(const std::string&) override {}
};

class QuietTray : public monitor::TrayView {
public:
    void SetTrayIcon(monitor::TrayIcon) override {}
    void ShowTrayIcon(monitor::TrayIcon, bool) override {}
    void RemoveTrayIcon() override {}
    void SetTrayToolTip(const std::string&) override {}
    // Nothing hides here, so a tray is as good as there.
    bool HasSystemTray() override { return true; }
};

// Keeps the visibility; everything else is ignored.
class QuietWindow : public monitor::WindowView {
public:
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
    void PopupAccountMenu(const std::vector<monitor::AccountMenuItem>&) override {}
    void PopupMainMenu() override {}

private:
    bool m_visible = true;
};

class QuietSound : public monitor::SoundPlayer {
public:
    void PlaySound(const std::string&) override {}
};

// The quiet parts together, for a tool that shows fewer.
struct QuietParts {
    QuietStatus status;
    QuietTray tray;
    QuietWindow window;
    QuietSound sound;
};

// The main window's message boxes: printed, the questions answered as held; the exit request
// is kept.
class ConsoleBoxes : public platform::Dialogs, public platform::ExitRequest {
public:
    explicit ConsoleBoxes(std::ostream& out) : m_out(out), m_questions(out) {}

    bool ExitRequested() const { return m_exitRequested; }
    // The answer to the next question box of the main window.
    void HoldAnswer(platform::Answer answer) { m_questions.Hold(answer); }

    void ShowMessage(const std::string& text) override { PrintLine(m_out, "message", text); }
    bool Ask(const std::string& text) override { return m_questions.Ask(text); }
    platform::Answer AskYesNoCancel(const std::string& text) override {
        return m_questions.AskYesNoCancel(text);
    }
    void RequestExit() override { m_exitRequested = true; }

protected:
    std::ostream& m_out;

private:
    ConsoleQuestions m_questions;
    bool m_exitRequested = false;
};

// Opens nothing; prints "shell: " and what it would open or start.
class ConsoleShell final : public platform::Shell {
public:
    explicit ConsoleShell(std::ostream& out) : m_out(out) {}
    bool OpenDocument(const std::string& target) override;
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override;

private:
    std::ostream& m_out;
};

// The check timer as a switch: a tool fires the checks itself, or not at all.
class ManualTimer final : public monitor::TimerSwitch {
public:
    void SetEnabled(bool enabled) override { m_enabled = enabled; }
    bool Enabled() const override { return m_enabled; }
    void SetInterval(int) override {}

private:
    bool m_enabled = false;
};

// Downloads nothing, so that a tool's run touches no network but the mail servers.
class NoDownloads final : public monitor::HttpDownloader {
public:
    void DownloadFile(const std::string&, const std::string&) override {}
};

}  // namespace console
