#pragma once
// The main window's own surface rules: mouse button states, dragging with edge snapping, the
// first paint.
namespace skin {

// The mouse buttons and modifier keys of one mouse event.
struct ShiftState {
    bool Left = false;
    bool Right = false;
    bool Middle = false;
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    bool Double = false;

    bool LeftAlone() const {
        return Left && !Right && !Middle && !Shift && !Ctrl && !Alt && !Double;
    }
    bool CtrlLeft() const { return Left && Ctrl && !Right && !Middle && !Shift && !Alt && !Double; }
};

struct Point {
    int X = 0;
    int Y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct WindowBox {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// Moves the captionless window by its surface; snaps to a screen edge that it comes within
// 10 pixels of while moving towards it.
class WindowDrag {
public:
    // Remembers the pointer's screen position when the left button alone goes down.
    void MouseDown(const ShiftState& shift, Point screen);
    // Moves window while the left button alone is held; returns whether it handled the move.
    // screen is the geometry of the screen the window is on, in the same (global) coordinates
    // as the pointer and the window: a second monitor has its own origin.
    bool MouseMove(const ShiftState& shift, Point pointer, WindowBox& window,
                   const WindowBox& screen);

private:
    Point m_last;
};

enum class PaintAction { DrawBackground, HideAndStopTicker };

// The main window's paint: with the start-hidden setting, the first paint hides the window
// and stops the ticker instead of drawing; every other paint draws the background at 0,0.
PaintAction MainWindowPaint(bool startHidden, bool& firstPaintPending);

}  // namespace skin
