#include "platform/DisplaySession.h"

#include <cstdlib>

namespace platform {

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

DisplayEnvironment DisplayEnvironment::FromEnvironment() {
    return {Variable("QT_QPA_PLATFORM"), Variable("WAYLAND_DISPLAY"), Variable("XDG_SESSION_TYPE"),
            Variable("DISPLAY")};
}

DisplayChoice ChooseDisplay(const DisplayEnvironment& environment) {
    const std::string& asked = environment.qtPlatform;
    // "wayland", "wayland-egl", "wayland;xcb": a Wayland choice made for all programs.
    const bool askedWayland = asked.find("wayland") != std::string::npos;
    if (!asked.empty() && !askedWayland && asked.rfind("xcb", 0) != 0) {
        return {};
    }
    DisplayChoice choice{asked.empty() || askedWayland ? "xcb" : asked, {}};
    if (!environment.display.empty()) {
        return choice;
    }
    const bool wayland =
        askedWayland || !environment.waylandDisplay.empty() || environment.sessionType == "wayland";
    choice.error = wayland ? "Vorla runs on Wayland through XWayland, and this session has no "
                             "XWayland (DISPLAY is not set). Install the xwayland package or "
                             "enable XWayland in the compositor, then start Vorla again."
                           : "Vorla needs a graphical desktop session: DISPLAY is not set.";
    return choice;
}

}  // namespace platform
