#pragma once
// One picture element of a skinned window (STATBMP, NBMSGBMP, Online, FLAG): it shows the
// image that the core gives it, sized to that image, and forwards mouse presses.
#include <QImage>
#include <QWidget>

#include "skin/Bitmap.h"
#include "skin/MainSurface.h"

namespace uicontrols {

class ImageWidget : public QWidget {
    Q_OBJECT
public:
    explicit ImageWidget(QWidget* parent);

    // Transparent pixels (alpha 0) let the window's background show through; an image without
    // an alpha channel covers the widget, and what lies under it is not painted again.
    void SetImage(const QImage& image);
    // The same, painted at once rather than on a later turn of the event loop (which costs a
    // wake-up of its own); inside a paint of the window it waits for that turn after all.
    void ShowNow(const QImage& image);
    // The same for a picture redrawn many times a second: it is written into the widget's
    // own image, whose buffer is kept while the size stays.
    void ShowNow(const skin::Bitmap& bitmap);
    const QImage& Image() const { return m_image; }
    // Both change the widget only when the value differs: the ticker sets them at every step.
    void SetHandCursor(bool hand);
    void SetHint(const QString& hint);

signals:
    // A press or double click with its button and modifier keys.
    void Pressed(const skin::ShiftState& shift);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Fits the widget to m_image.
    void Fit();
    void PaintNow();

    QImage m_image;
    bool m_handCursor = false;
};

}  // namespace uicontrols
