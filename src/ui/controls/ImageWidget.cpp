#include "ui/controls/ImageWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/controls/ControlAccessibility.h"
#include "ui/controls/Mouse.h"
#include "ui/controls/Pictures.h"

namespace uicontrols {

ImageWidget::ImageWidget(QWidget* parent) : PressableWidget(parent) {
    InstallControlAccessibility();
    resize(0, 0);
}

void ImageWidget::SetRole(QAccessible::Role role) {
    m_role = role;
    SetPressable(role == QAccessible::PushButton);
}

void ImageWidget::SetSpokenName(const QString& name) {
    // The status line is drawn again at every ticker step: only a new text is announced.
    AnnounceName(this, m_spokenName, name);
}

void ImageWidget::Press() {
    if (isEnabled() && m_role == QAccessible::PushButton) {
        emit Pressed(KeyboardLeftPress(true));
    }
}

void ImageWidget::Fit() {
    // Both are compared first: a resize, even to the same size, makes Qt recompute the opaque
    // regions of the window at the next paint, and the ticker shows a picture at every step.
    const bool opaque = !m_image.isNull() && !m_image.hasAlphaChannel();
    if (testAttribute(Qt::WA_OpaquePaintEvent) != opaque) {
        setAttribute(Qt::WA_OpaquePaintEvent, opaque);
    }
    if (size() != m_image.size()) {
        resize(m_image.size());
    }
}

void ImageWidget::SetImage(const QImage& image) {
    m_image = image;
    Fit();
    update();
}

void ImageWidget::ShowNow(const QImage& image) {
    m_image = image;
    Fit();
    PaintNow();
}

void ImageWidget::ShowNow(const skin::Bitmap& bitmap) {
    ToShownImage(bitmap, m_image);
    Fit();
    PaintNow();
}

void ImageWidget::PaintNow() {
    if (window()->testAttribute(Qt::WA_WState_InPaintEvent) ||
        testAttribute(Qt::WA_WState_InPaintEvent)) {
        update();
    } else {
        repaint();
    }
}

void ImageWidget::SetHint(const QString& hint) {
    if (toolTip() != hint) {
        setToolTip(hint);
    }
}

void ImageWidget::SetHandCursor(bool hand) {
    if (hand == m_handCursor) {
        return;
    }
    m_handCursor = hand;
    if (hand) {
        setCursor(Qt::PointingHandCursor);
    } else {
        unsetCursor();
    }
}

void ImageWidget::paintEvent(QPaintEvent*) {
    if (m_image.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
    PaintFocus(painter);
}

void ImageWidget::mousePressEvent(QMouseEvent* event) {
    emit Pressed(ShiftStateOf(*event, false));
}

void ImageWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    emit Pressed(ShiftStateOf(*event, true));
}

}  // namespace uicontrols
