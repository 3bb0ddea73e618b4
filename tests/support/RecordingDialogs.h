#pragma once
// Message boxes, question boxes and file dialogs answered by the test: every box is recorded,
// every question and file dialog takes the next scripted answer (a question without one is
// answered No, or Cancel; a file dialog without one is cancelled).
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"

namespace testsupport {

class RecordingDialogs final : public platform::Dialogs, public platform::FileDialogs {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool Ask(const std::string& text) override {
        return NextAnswer(text, platform::Answer::No) == platform::Answer::Yes;
    }
    platform::Answer AskYesNoCancel(const std::string& text) override {
        return NextAnswer(text, platform::Answer::Cancel);
    }
    bool ExecuteSave(platform::FileDialogState& dialog) override {
        proposed.push_back(dialog.FileName);
        return Answer(dialog);
    }
    bool ExecuteOpen(platform::FileDialogState& dialog) override {
        proposed.push_back("(open)");
        return Answer(dialog);
    }

    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<platform::Answer> questionAnswers;
    // The file name shown in each dialog as it opened; "(open)" for an open dialog.
    std::vector<std::string> proposed;
    // Answers in order; nothing cancels. Without a scripted answer the dialog is cancelled.
    std::deque<std::optional<std::string>> answers;
    // When set, the user switches to this filter before confirming.
    std::optional<int> chooseFilter;

private:
    platform::Answer NextAnswer(const std::string& text, platform::Answer unanswered) {
        questions.push_back(text);
        if (questionAnswers.empty())
            return unanswered;
        const platform::Answer answer = questionAnswers.front();
        questionAnswers.pop_front();
        return answer;
    }
    bool Answer(platform::FileDialogState& dialog) {
        if (answers.empty())
            return false;
        const std::optional<std::string> answer = answers.front();
        answers.pop_front();
        if (!answer)
            return false;
        dialog.FileName = *answer;
        if (chooseFilter)
            dialog.FilterIndex = *chooseFilter;
        return true;
    }
};

}  // namespace testsupport
