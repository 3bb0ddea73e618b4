#include "ui/SkinImage.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/Mouse.h"

namespace ui {

SkinImage::SkinImage(QWidget* parent) : QWidget(parent) {
    resize(0, 0);
}

void SkinImage::SetImage(const QImage& image) {
    m_image = image;
    resize(image.size());
    update();
}

void SkinImage::SetHandCursor(bool hand) {
    if (hand) {
        setCursor(Qt::PointingHandCursor);
    } else {
        unsetCursor();
    }
}

void SkinImage::paintEvent(QPaintEvent*) {
    if (m_image.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}

void SkinImage::mousePressEvent(QMouseEvent* event) {
    if (monitor::MouseEvent mouse; MouseEventOf(*event, false, mouse)) {
        emit Pressed(mouse);
    }
}

void SkinImage::mouseDoubleClickEvent(QMouseEvent* event) {
    if (monitor::MouseEvent mouse; MouseEventOf(*event, true, mouse)) {
        emit Pressed(mouse);
    }
}

}  // namespace ui
