#pragma once
// What the skinned check box and radio button share: a caption with one "&" accelerator, the
// click by mouse or space, focus by tab, and the repaint on every change that shows.
#include <QWidget>

#include "ui/controls/ControlState.h"

namespace uicontrols {

class LumoButtonBase : public QWidget {
    Q_OBJECT
public:
    explicit LumoButtonBase(QWidget* parent);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    CheckAlignment Alignment() const { return m_alignment; }

    // Room for the box and the caption on one line.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // A click as the mouse or the space key gives it.
    virtual void Click() = 0;

signals:
    void Clicked();
    // The checked state changed, by the user or by code.
    void StateChanged();

protected:
    // The caption's accelerator was pressed.
    virtual void AcceleratorPressed() = 0;
    void NotifyStateChanged();

    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Takes the focus when the control shows and can take it; true when it has it then.
    bool TakeFocus();

private:
    QString m_caption;
    CheckAlignment m_alignment = CheckAlignment::RightJustify;
    int m_shortcut = 0;
    bool m_pressed = false;
};

}  // namespace uicontrols
