#include "platform/DisplaySession.h"

#include <gtest/gtest.h>

namespace {

struct DisplayRow {
    const char* name;
    platform::DisplayEnvironment environment;  // QT_QPA_PLATFORM, WAYLAND_DISPLAY, type, DISPLAY
    std::string qtPlatform;
    bool fails;
};

TEST(ChooseDisplay, Rows) {
    const DisplayRow rows[] = {
        {"X11 session", {"", "", "x11", ":0"}, "xcb", false},
        {"Wayland with XWayland", {"", "wayland-0", "wayland", ":1"}, "xcb", false},
        {"Wayland asked for all programs", {"wayland;xcb", "wayland-0", "", ":1"}, "xcb", false},
        {"user's xcb options kept", {"xcb:nomitshm", "", "", ":0"}, "xcb:nomitshm", false},
        {"other platform left alone", {"offscreen", "", "", ""}, "", false},
        {"Wayland without XWayland", {"", "wayland-0", "wayland", ""}, "xcb", true},
        {"Wayland session type alone", {"", "", "wayland", ""}, "xcb", true},
        {"no desktop session", {"", "", "", ""}, "xcb", true},
    };
    for (const DisplayRow& row : rows) {
        SCOPED_TRACE(row.name);
        const platform::DisplayChoice choice = platform::ChooseDisplay(row.environment);
        EXPECT_EQ(choice.qtPlatform, row.qtPlatform);
        EXPECT_EQ(!choice.error.empty(), row.fails) << choice.error;
    }
    const auto noXWayland = platform::ChooseDisplay({"", "wayland-0", "wayland", ""});
    EXPECT_NE(noXWayland.error.find("XWayland"), std::string::npos) << noXWayland.error;
}

}  // namespace
