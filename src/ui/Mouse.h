#pragma once
// Qt's mouse state in the forms the core's handlers take.
#include <QMouseEvent>

#include "monitor/Monitor.h"
#include "skin/MainSurface.h"

namespace ui {

// The buttons held (the pressed one included) and the modifier keys of an event.
skin::ShiftState ShiftStateOf(const QMouseEvent& event, bool doubleClick);

// The pressed button with the modifier keys; nothing for a button the core does not know.
bool MouseEventOf(const QMouseEvent& event, bool doubleClick, monitor::MouseEvent& out);

}  // namespace ui
