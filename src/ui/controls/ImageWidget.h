#pragma once
// One picture element of a skinned window (STATBMP, NBMSGBMP, Online, FLAG): it shows the
// image that the core gives it, sized to that image, and forwards mouse presses.
#include <QImage>
#include <QWidget>

#include "skin/MainSurface.h"

namespace ui {

class ImageWidget : public QWidget {
    Q_OBJECT
public:
    explicit ImageWidget(QWidget* parent);

    // Transparent pixels (alpha 0) let the window's background show through.
    void SetImage(const QImage& image);
    const QImage& Image() const { return m_image; }
    void SetHandCursor(bool hand);

signals:
    // A press or double click with its button and modifier keys.
    void Pressed(const skin::ShiftState& shift);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage m_image;
};

}  // namespace ui
