#pragma once
// The platform parts every headless tool runs the program on: window events queued to the one
// thread, ticker timers that tick only when asked, the PPP dial-up and the desktop's autostart
// and mailto handler. Only the shell differs between the tools; each gives its own.
#include "app/composition/Composition.h"
#include "platform/LinuxDesktop.h"
#include "platform/PppRasApi.h"
#include "platform/QueuedSynchronizer.h"
#include "platform/WindowTimer.h"

namespace console {

struct ToolPlatform {
    platform::QueuedSynchronizer windowThread;
    platform::IdleTimerHost tickerTimers;
    platform::PppRasApi rasApi;
    platform::XdgAutorun autorun;
    platform::XdgMailtoHandler mailto;

    // The parts for the composition, with the tool's shell; both must outlive it.
    app::Platform With(platform::Shell& shell) {
        return {windowThread, windowThread, tickerTimers, rasApi, shell, autorun, mailto};
    }
};

}  // namespace console
