#pragma once
// Message boxes and file dialogs answered by the test: every box is recorded, every file
// dialog takes the next scripted answer (a file name, or nothing for Cancel).
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
    bool ExecuteSave(platform::FileDialogState& dialog) override {
        proposed.push_back(dialog.FileName);
        return Answer(dialog);
    }
    bool ExecuteOpen(platform::FileDialogState& dialog) override {
        proposed.push_back("(open)");
        return Answer(dialog);
    }

    std::vector<std::string> messages;
    // The file name shown in each dialog as it opened; "(open)" for an open dialog.
    std::vector<std::string> proposed;
    // Answers in order; nothing cancels. Without a scripted answer the dialog is cancelled.
    std::deque<std::optional<std::string>> answers;
    // When set, the user switches to this filter before confirming.
    std::optional<int> chooseFilter;

private:
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
