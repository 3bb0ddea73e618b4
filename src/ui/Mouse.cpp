#include "ui/Mouse.h"

namespace ui {

skin::ShiftState ShiftStateOf(const QMouseEvent& event, bool doubleClick) {
    const Qt::MouseButtons buttons = event.buttons();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    skin::ShiftState shift;
    shift.Left = buttons.testFlag(Qt::LeftButton);
    shift.Right = buttons.testFlag(Qt::RightButton);
    shift.Middle = buttons.testFlag(Qt::MiddleButton);
    shift.Shift = modifiers.testFlag(Qt::ShiftModifier);
    shift.Ctrl = modifiers.testFlag(Qt::ControlModifier);
    shift.Alt = modifiers.testFlag(Qt::AltModifier);
    shift.Double = doubleClick;
    return shift;
}

bool MouseEventOf(const QMouseEvent& event, bool doubleClick, monitor::MouseEvent& out) {
    switch (event.button()) {
    case Qt::LeftButton:
        out.Button = monitor::MouseButton::Left;
        break;
    case Qt::RightButton:
        out.Button = monitor::MouseButton::Right;
        break;
    case Qt::MiddleButton:
        out.Button = monitor::MouseButton::Middle;
        break;
    default:
        return false;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    out.Shift = modifiers.testFlag(Qt::ShiftModifier);
    out.Ctrl = modifiers.testFlag(Qt::ControlModifier);
    out.Alt = modifiers.testFlag(Qt::AltModifier);
    out.DoubleClick = doubleClick;
    return true;
}

}  // namespace ui
