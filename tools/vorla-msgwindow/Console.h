#pragma once
// The desktop of vorla-msgwindow: the main window, the shell and the dialogs print what they
// are asked to show, one line each, and the file dialogs answer as the current step says.
#include <optional>
#include <ostream>
#include <string>

#include "ConsoleFaces.h"
#include "platform/Desktop.h"
#include "platform/FileDialogs.h"

namespace vorlamsgwindow {

using console::PrintLine;

// The main window: remembers the status text last drawn.
class ConsoleMainView final : public console::QuietView {
public:
    using QuietView::QuietView;
    const std::string& LastStatus() const { return m_status; }
    void DrawStatus(const std::string& text) override { m_status = text; }

private:
    std::string m_status;
};

// Message boxes of the message window, and its file dialogs answered by the running step.
class ConsoleDialogs final : public platform::Dialogs, public platform::FileDialogs {
public:
    explicit ConsoleDialogs(std::ostream& out) : m_out(out), m_questions(out) {}

    // Every save dialog gets folder + "/" + the name it proposes, numbered as
    // msgwindow::FreeName does when a file of that name is there already.
    void AnswerSaveInFolder(const std::string& folder) { m_folder = folder, m_file.reset(); }
    // Every dialog gets this file.
    void AnswerWithFile(const std::string& file) { m_file = file, m_folder.reset(); }
    // Dialogs are cancelled.
    void Cancel() { m_folder.reset(), m_file.reset(); }
    // The answer to the next question box.
    void HoldAnswer(platform::Answer answer) { m_questions.Hold(answer); }

    void ShowMessage(const std::string& text) override { PrintLine(m_out, "message", text); }
    bool Ask(const std::string& text) override { return m_questions.Ask(text); }
    platform::Answer AskYesNoCancel(const std::string& text) override {
        return m_questions.AskYesNoCancel(text);
    }
    bool ExecuteSave(platform::FileDialogState& dialog) override;
    bool ExecuteOpen(platform::FileDialogState& dialog) override;

private:
    std::ostream& m_out;
    console::ConsoleQuestions m_questions;
    std::optional<std::string> m_folder;
    std::optional<std::string> m_file;
};

}  // namespace vorlamsgwindow
