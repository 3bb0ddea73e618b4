#pragma once
// Takes the reports of a settings or skin read whose failure the caller handles itself: no
// message box, no end of the program.
#include <string>

#include "platform/Dialogs.h"

namespace monitor {

class NoReport final : public platform::Dialogs, public platform::ExitRequest {
public:
    void ShowMessage(const std::string&) override {}
    bool Ask(const std::string&) override { return false; }
    platform::Answer AskYesNoCancel(const std::string&) override {
        return platform::Answer::Cancel;
    }
    void RequestExit() override {}
};

}  // namespace monitor
