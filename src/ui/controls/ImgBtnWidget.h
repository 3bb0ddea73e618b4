#pragma once
// The Qt control of a TImgBtn: forwards enter, leave, press and release to the button's state
// and draws what its Paint says (the hover picture swap, caption and arrow are the state's).
// The state belongs to the window's skin model and must outlive the control. Keyboard users
// reach it by Tab and press it with Space or Return; a screen reader sees a push button named
// by its hint.
#include <QColor>

#include "skin/MainSurface.h"
#include "ui/controls/PressableWidget.h"

#include "skin/ImgBtn.h"

namespace uicontrols {

class ImgBtnWidget : public PressableWidget {
    Q_OBJECT
public:
    ImgBtnWidget(QWidget* parent, skin::TImgBtn& button);
    ~ImgBtnWidget() override;

    skin::TImgBtn& Button() { return m_button; }
    // Copies the state's place, size (after the sizing rules), hint and enabled flag onto the
    // widget; after a skin load changed the state.
    void SyncGeometry();
    void SetButtonEnabled(bool enabled);
    // What the control is called when read out: its hint, else its caption.
    QString SpokenName() const;
    // A left press and release as the keyboard or assistive technology gives them.
    void Press() override;

signals:
    void Clicked();
    // A press or double click with its button and modifier keys.
    void Pressed(const skin::ShiftState& shift);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    skin::TImgBtn& m_button;
    // The caption's colour in the hover state (the font's colour is the normal one).
    QColor m_hoverColor = Qt::blue;
    // A plain left press happened on the control: its release is a click.
    bool m_clickArmed = false;
    // The name last announced to assistive technology.
    QString m_spokenName;
};

}  // namespace uicontrols
