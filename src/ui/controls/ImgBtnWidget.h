#pragma once
// The Qt control of a TImgBtn: forwards enter, leave, press and release to the button's state
// and draws what its Paint says (the hover picture swap, caption and arrow are the state's).
// The state belongs to the window's skin model and must outlive the control.
#include <QColor>
#include <QWidget>

#include "skin/MainSurface.h"

#include "skin/ImgBtn.h"

namespace uicontrols {

class ImgBtnWidget : public QWidget {
    Q_OBJECT
public:
    ImgBtnWidget(QWidget* parent, skin::TImgBtn& button);
    ~ImgBtnWidget() override;

    skin::TImgBtn& Button() { return m_button; }
    // Copies the state's place, size (after the sizing rules), hint and enabled flag onto the
    // widget; after a skin load changed the state.
    void SyncGeometry();
    void SetButtonEnabled(bool enabled);

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
};

}  // namespace uicontrols
