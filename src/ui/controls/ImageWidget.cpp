#include "ui/controls/ImageWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/controls/Mouse.h"

namespace ui {

ImageWidget::ImageWidget(QWidget* parent) : QWidget(parent) {
    resize(0, 0);
}

void ImageWidget::SetImage(const QImage& image) {
    m_image = image;
    resize(image.size());
    update();
}

void ImageWidget::SetHandCursor(bool hand) {
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
