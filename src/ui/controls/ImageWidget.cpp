#include "ui/controls/ImageWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/controls/Mouse.h"

namespace ui {

ImageWidget::ImageWidget(QWidget* parent) : QWidget(parent) {
    resize(0, 0);
}

void ImageWidget::Take(const QImage& image) {
    m_image = image;
    setAttribute(Qt::WA_OpaquePaintEvent, !image.isNull() && !image.hasAlphaChannel());
    resize(image.size());
}

void ImageWidget::SetImage(const QImage& image) {
    Take(image);
    update();
}

void ImageWidget::ShowNow(const QImage& image) {
    Take(image);
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
}

void ImageWidget::mousePressEvent(QMouseEvent* event) {
    emit Pressed(ShiftStateOf(*event, false));
}

void ImageWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    emit Pressed(ShiftStateOf(*event, true));
}

}  // namespace ui
