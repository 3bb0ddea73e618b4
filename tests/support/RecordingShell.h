#pragma once
// The desktop's shell, recorded: what it was asked to open and to start, answered with success
// unless the test makes it fail.
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace testsupport {

class RecordingShell final : public platform::Shell {
public:
    bool OpenDocument(const std::string& target) override {
        opened.push_back(target);
        return !fails;
    }
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override {
        std::string line = program;
        for (const auto& arg : args)
            line += " [" + arg + "]";
        started.push_back(line);
        return !fails;
    }

    std::vector<std::string> opened;
    // "PROGRAM [ARG] [ARG]..." for each program started.
    std::vector<std::string> started;
    // Both calls report that nothing was opened or started.
    bool fails = false;
};

}  // namespace testsupport
