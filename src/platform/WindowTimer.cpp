#include "platform/WindowTimer.h"

namespace platform {

namespace {

class IdleTimer final : public WindowTimer {
public:
    void Start(std::uint32_t) override {}
    void Stop() override {}
};

}  // namespace

std::unique_ptr<WindowTimer> IdleTimerHost::CreateTimer(std::function<void()>) {
    return std::make_unique<IdleTimer>();
}

}  // namespace platform
