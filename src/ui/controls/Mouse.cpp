#include "ui/controls/Mouse.h"

namespace uicontrols {

skin::ShiftState ShiftStateOf(const QMouseEvent& event, bool doubleClick) {
    const Qt::MouseButtons buttons = event.buttons() | event.button();
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

}  // namespace uicontrols
