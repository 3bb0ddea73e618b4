#include "skin/MainSurface.h"

namespace skin {

namespace {
constexpr int kSnapDistance = 10;
}

void WindowDrag::MouseDown(const ShiftState& shift, Point screen) {
    if (shift.LeftAlone()) {
        last_ = screen;
    }
}

bool WindowDrag::MouseMove(const ShiftState& shift, Point p, WindowBox& window, int screenWidth,
                           int screenHeight) {
    if (!shift.LeftAlone()) {
        return false;
    }
    window.Top += p.Y - last_.Y;
    window.Left += p.X - last_.X;
    if (window.Top < kSnapDistance && p.Y < last_.Y) {
        window.Top = 0;
    }
    if (window.Left < kSnapDistance && p.X < last_.X) {
        window.Left = 0;
    }
    if (screenWidth - window.Left - window.Width < kSnapDistance && p.X > last_.X) {
        window.Left = screenWidth - window.Width;
    }
    if (screenHeight - window.Top - window.Height < kSnapDistance && p.Y > last_.Y) {
        window.Top = screenHeight - window.Height;
    }
    last_ = p;
    return true;
}

PaintAction MainWindowPaint(bool startHidden, bool& firstPaintPending) {
    if (startHidden && firstPaintPending) {
        firstPaintPending = false;
        return PaintAction::HideAndStopTicker;
    }
    return PaintAction::DrawBackground;
}

}  // namespace skin
