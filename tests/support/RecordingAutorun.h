#pragma once
// The desktop's autorun entry, recorded: "enable PATH" and "disable" in order.
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace testsupport {

class RecordingAutorun final : public platform::Autorun {
public:
    void Enable(const std::string& path) override { log.push_back("enable " + path); }
    void Disable() override { log.push_back("disable"); }
    std::vector<std::string> log;
};

}  // namespace testsupport
