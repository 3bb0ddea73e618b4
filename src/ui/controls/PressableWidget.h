#pragma once
// The keyboard and focus handling that a control drawn over a skin shares with a push button:
// when pressable, Tab reaches it (a mouse click gives no focus, so it leaves no focus mark on
// the skin) and Space or Return presses it; its focus mark is drawn over the skin as its
// FocusCue says. Assistive technology presses it through Press as well.
#include <QWidget>

#include "ui/controls/LumoPaint.h"

namespace uicontrols {

class PressableWidget : public QWidget {
    Q_OBJECT
public:
    explicit PressableWidget(QWidget* parent) : QWidget(parent) {}

    // What a press of the keyboard or of assistive technology does.
    virtual void Press() = 0;

protected:
    // Whether Tab reaches the control and the press keys press it (neither by default).
    void SetPressable(bool pressable);
    // Draws the focus mark over what the control has painted, while it has one to show.
    void PaintFocus(QPainter& painter) const;

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool m_pressable = false;
    FocusCue m_focusCue;
};

}  // namespace uicontrols
