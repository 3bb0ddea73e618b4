#include "skin/MainSurface.h"

namespace skin {

namespace {
constexpr int kSnapDistance = 10;
}

void WindowDrag::MouseDown(const ShiftState& shift, Point screen) {
    if (shift.LeftAlone()) {
        m_last = screen;
    }
}

bool WindowDrag::MouseMove(const ShiftState& shift, Point p, WindowBox& window,
                           const WindowBox& screen) {
    if (!shift.LeftAlone()) {
        return false;
    }
    const int right = screen.Left + screen.Width;
    const int bottom = screen.Top + screen.Height;
    window.Top += p.Y - m_last.Y;
    window.Left += p.X - m_last.X;
    if (window.Top - screen.Top < kSnapDistance && p.Y < m_last.Y) {
        window.Top = screen.Top;
    }
    if (window.Left - screen.Left < kSnapDistance && p.X < m_last.X) {
        window.Left = screen.Left;
    }
    if (right - window.Left - window.Width < kSnapDistance && p.X > m_last.X) {
        window.Left = right - window.Width;
    }
    if (bottom - window.Top - window.Height < kSnapDistance && p.Y > m_last.Y) {
        window.Top = bottom - window.Height;
    }
    m_last = p;
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
