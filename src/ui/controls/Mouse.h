#pragma once
// Qt's mouse state in the form the core's handlers take, and the keys that stand in for a click.
#include <QKeyEvent>
#include <QMouseEvent>

#include "skin/MainSurface.h"

namespace uicontrols {

// The buttons held (the pressed one included), the modifier keys and the double click.
skin::ShiftState ShiftStateOf(const QMouseEvent& event, bool doubleClick);

// A plain left press, single or double, as the keyboard gives one.
skin::ShiftState KeyboardLeftPress(bool doubleClick);

// Space, Return or Enter without a modifier: what presses a focused button.
bool IsPressKey(const QKeyEvent& event);

}  // namespace uicontrols
