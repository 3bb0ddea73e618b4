#include "ui/controls/PressableWidget.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "ui/controls/Mouse.h"

namespace uicontrols {

void PressableWidget::SetPressable(bool pressable) {
    m_pressable = pressable;
    setFocusPolicy(pressable ? Qt::TabFocus : Qt::NoFocus);
}

void PressableWidget::PaintFocus(QPainter& painter) const {
    if (hasFocus() && m_focusCue.Shown()) {
        PaintFocusMark(painter, rect());
    }
}

void PressableWidget::keyPressEvent(QKeyEvent* event) {
    if (!m_focusCue.Shown()) {
        m_focusCue.KeyPressed();
        update();
    }
    if (m_pressable && IsPressKey(*event)) {
        Press();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PressableWidget::focusInEvent(QFocusEvent* event) {
    m_focusCue.FocusIn(event->reason());
    update();
    QWidget::focusInEvent(event);
}

void PressableWidget::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

}  // namespace uicontrols
