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

// The focus mark of a control drawn over a skin: a dotted line in black over white, seen on
// any picture.
void PaintFocusMark(QPainter& painter, const QRect& rect);

// Whether a focused control on a skin shows its mark. The focus that only came with the
// window's activation (a click on the window gives the first button the focus) shows none
// until a key is pressed, so that a mouse user never sees one; focus by Tab, accelerator or
// assistive technology shows it at once.
class FocusCue {
public:
    void FocusIn(Qt::FocusReason reason);
    void KeyPressed() { m_shown = true; }
    bool Shown() const { return m_shown; }

private:
    bool m_shown = false;
};

}  // namespace uicontrols
