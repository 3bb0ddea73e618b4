#pragma once
// The faces of vorla-config: the main window, the shell and the file dialogs print one line for
// each thing a user would see, and the dialog runs the user actions read from a stream.
#include <deque>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "ConsoleFaces.h"
#include "config/ConfigServices.h"
#include "config/TConfig.h"
#include "skin/SkinModel.h"

namespace vorlaconfig {

using console::PrintLine;

// Each dialog prints its line and takes the answer given before it ("answer PATH" or
// "answer cancel"); without one it is cancelled. The answers are taken in the order given, by
// the file dialogs and the question boxes alike.
class ConsoleFileDialogs final : public config::FileDialogs {
public:
    explicit ConsoleFileDialogs(std::ostream& out) : m_out(out) {}
    std::optional<std::string> OpenFile(const config::OpenRequest& request) override;
    std::optional<std::string> PickFolder(const std::string& caption) override;
    void Answer(std::optional<std::string> answer) { m_answers.push_back(std::move(answer)); }
    // The next answer when it answers a question box ("yes", "no" or "cancel"); a path is left
    // for the file dialog it was given for.
    std::optional<platform::Answer> TakeQuestionAnswer();

private:
    std::optional<std::string> Next();

    std::ostream& m_out;
    std::deque<std::optional<std::string>> m_answers;
};

// The main window without a window; it stands where the skin load placed it. Its question
// boxes take the answers given before the action that asks.
class ConsoleView final : public console::QuietWindow, public console::ConsoleBoxes {
public:
    ConsoleView(std::ostream& out, ConsoleFileDialogs& answers)
        : ConsoleBoxes(out), m_answers(answers) {}
    void Attach(const skin::MainWindowSkin& skin) { m_skin = &skin; }
    monitor::WindowPosition Position() override;
    bool Ask(const std::string& text) override;
    platform::Answer AskYesNoCancel(const std::string& text) override;

private:
    void HoldGivenAnswer();

    ConsoleFileDialogs& m_answers;
    const skin::MainWindowSkin* m_skin = nullptr;
};

// Runs one action per line of in against the dialog until it ends or the input does; later
// lines are left unread. Lines it cannot use are reported on err and skipped.
void RunActions(config::TConfig& dialog, ConsoleFileDialogs& files, std::istream& in,
                std::ostream& out, std::ostream& err);

}  // namespace vorlaconfig
