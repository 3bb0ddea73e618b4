#pragma once
// Every message box of the program goes through this sink, so tests see the text.
#include <string>

namespace platform {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal message box with the program's title and one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
};

// Ends the program: the desktop shell quits its loop, a test records the request.
class ExitRequest {
public:
    virtual ~ExitRequest() = default;
    virtual void RequestExit() = 0;
};

}  // namespace platform
