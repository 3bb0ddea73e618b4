#pragma once
// The Qt control of a TImgBtn: forwards enter, leave, press and release to the button's state
// and draws what its Paint says (the hover picture swap, caption and arrow are the state's).
#include <QColor>
#include <QWidget>

#include "monitor/Monitor.h"

#include "skin/ImgBtn.h"

namespace ui {

class ImgBtnWidget : public QWidget {
    Q_OBJECT
public:
    explicit ImgBtnWidget(QWidget* parent);

    skin::TImgBtn& Button() { return m_button; }
    // Copies the state's place, size, hint and enabled flag onto the widget.
    void SyncGeometry();
    void SetPictures(const skin::Picture& off, const skin::Picture& on);
    void MoveTo(int left, int top);
    void SetButtonEnabled(bool enabled);
    void SetHint(const std::string& hint);
    // The caption's colour in the hover state (the font's colour is the normal one).
    void SetHoverColor(const QColor& color) { m_hoverColor = color; }

signals:
    void Clicked();
    // A press or double click with its button and modifier keys.
    void Pressed(const monitor::MouseEvent& mouse);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    skin::TImgBtn m_button;
    QColor m_hoverColor = Qt::blue;
};

}  // namespace ui
