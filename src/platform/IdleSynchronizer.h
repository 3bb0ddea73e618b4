#pragma once
// A synchronizer that drops the calls it is given: for a timer whose ticks must not run, as
// the ticker of a program without windows.
#include "platform/EventPump.h"

namespace platform {

class IdleSynchronizer final : public Synchronizer {
public:
    void Synchronize(const std::function<void()>& /*call*/) override {}
};

}  // namespace platform
