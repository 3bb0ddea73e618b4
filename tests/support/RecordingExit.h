#pragma once
// The program's exit request, counted.
#include "platform/Dialogs.h"

namespace testsupport {

class RecordingExit final : public platform::ExitRequest {
public:
    void RequestExit() override { ++requests; }
    int requests = 0;
};

}  // namespace testsupport
