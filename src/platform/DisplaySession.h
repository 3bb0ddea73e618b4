#pragma once
// How the program reaches the screen. The main window places, shapes and stacks itself, which
// Wayland does not let a client do, so on a Wayland session it runs through XWayland.
#include <string>

namespace platform {

// The environment the choice depends on.
struct DisplayEnvironment {
    std::string qtPlatform;      // QT_QPA_PLATFORM
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string sessionType;     // XDG_SESSION_TYPE
    std::string display;         // DISPLAY
    static DisplayEnvironment FromEnvironment();
};

struct DisplayChoice {
    std::string qtPlatform;  // the value QT_QPA_PLATFORM takes; empty: leave it as it is
    std::string error;       // why the program cannot reach a screen; empty when it can
};

// X11 ("xcb", or the user's own "xcb:..." with its options) unless the user asked for another
// platform that is not Wayland (offscreen, vnc, ...). An error when X11 is wanted and DISPLAY is
// not set: on a Wayland session that means XWayland is missing, and the text says so.
DisplayChoice ChooseDisplay(const DisplayEnvironment& environment);

}  // namespace platform
