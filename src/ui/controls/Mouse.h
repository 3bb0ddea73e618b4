#pragma once
// Qt's mouse state in the form the core's handlers take.
#include <QMouseEvent>

#include "skin/MainSurface.h"

namespace uicontrols {

// The buttons held (the pressed one included), the modifier keys and the double click.
skin::ShiftState ShiftStateOf(const QMouseEvent& event, bool doubleClick);

}  // namespace uicontrols
