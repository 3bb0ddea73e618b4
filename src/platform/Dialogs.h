#pragma once
// Every message box and question box of the program goes through this sink, so tests see the
// text and give the answer.
#include <string>

namespace platform {

// The button that closed a question box.
enum class Answer { Yes, No, Cancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal message box with the program's title and one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // Asks a modal Yes/No question; true for Yes. A sink that shows nothing answers No.
    virtual bool Ask(const std::string& text) = 0;
    // Asks a modal Yes/No/Cancel question. A sink that shows nothing answers Cancel.
    virtual Answer AskYesNoCancel(const std::string& text) = 0;
};

// Ends the program: the desktop shell quits its loop, a test records the request.
class ExitRequest {
public:
    virtual ~ExitRequest() = default;
    virtual void RequestExit() = 0;
};

}  // namespace platform
