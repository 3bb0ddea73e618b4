#pragma once
// Drawing shared by the skinned check box and radio button: the caption with its accelerator
// and focus rectangle, the sunken box, the tick and the radio circle.
#include <QPainter>
#include <QString>
#include <QWidget>

#include "ui/controls/ControlState.h"

namespace uicontrols {

QRect ToQRect(const Rect& rect);

// Fills the client area with the control's colour, draws the caption and, when focused, the
// focus rectangle. Returns the layout of the box and the text.
CheckLayout PaintCheckCaption(QPainter& painter, const QWidget& control, const QString& caption,
                              CheckAlignment alignment);

void PaintCheckBox(QPainter& painter, const QRect& box, bool border, CheckState state);
void PaintRadioButton(QPainter& painter, const QRect& box, bool checked);

}  // namespace uicontrols
