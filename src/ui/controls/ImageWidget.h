#pragma once
// One picture element of a skinned window (STATBMP, NBMSGBMP, Online, FLAG): it shows the
// image that the core gives it, sized to that image, and forwards mouse presses.
#include <QAccessible>
#include <QImage>

#include "skin/Bitmap.h"
#include "skin/MainSurface.h"
#include "ui/controls/PressableWidget.h"

namespace uicontrols {

class ImageWidget : public PressableWidget {
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

    // What assistive technology is told the picture is (a graphic unless set). A push button
    // takes the focus by Tab and is pressed by Space, Return or its Press action.
    void SetRole(QAccessible::Role role);
    QAccessible::Role Role() const { return m_role; }
    // The name read out, e.g. the text the picture shows; announced only when it changes.
    void SetSpokenName(const QString& name);
    const QString& SpokenName() const { return m_spokenName; }
    // What a press of the keyboard or of assistive technology does: the double click.
    void Press() override;

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
    QAccessible::Role m_role = QAccessible::Graphic;
    QString m_spokenName;
};

}  // namespace uicontrols
