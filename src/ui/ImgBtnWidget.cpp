#include "ui/ImgBtnWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "skin/Drawing.h"
#include "ui/Mouse.h"
#include "ui/Pictures.h"
#include "ui/Text.h"

namespace ui {

namespace {

// The picture with KeyColour pixels (and pixels the decoder made transparent) left out.
QImage KeyedImage(const skin::Picture& picture) {
    skin::Bitmap keyed(picture.Width(), picture.Height(), skin::kTransparentPixel);
    skin::DrawTransparent(keyed, 0, 0, picture.Image, skin::KeyColour);
    return ToQImage(keyed);
}

}  // namespace

ImgBtnWidget::ImgBtnWidget(QWidget* parent) : QWidget(parent) {
    m_button.OnRepaint = [this] { update(); };
    SyncGeometry();
}

void ImgBtnWidget::SyncGeometry() {
    setGeometry(m_button.Left, m_button.Top, m_button.Width, m_button.Height);
    setToolTip(m_button.ShowHint ? ToQString(m_button.Hint) : QString());
    setEnabled(m_button.Enabled);
}

void ImgBtnWidget::SetPictures(const skin::Picture& off, const skin::Picture& on) {
    m_button.SetPicOff(off);
    m_button.SetPicOn(on);
    // The button takes its pictures' size when it paints; sizing now keeps a hidden window's
    // layout right before its first paint.
    const QFontMetrics metrics(font());
    const QString caption = ToQString(m_button.Caption);
    m_button.Paint(metrics.horizontalAdvance(caption), caption.isEmpty() ? 0 : metrics.height());
    SyncGeometry();
}

void ImgBtnWidget::MoveTo(int left, int top) {
    m_button.Left = left;
    m_button.Top = top;
    SyncGeometry();
}

void ImgBtnWidget::SetButtonEnabled(bool enabled) {
    m_button.Enabled = enabled;
    setEnabled(enabled);
}

void ImgBtnWidget::SetHint(const std::string& hint) {
    m_button.Hint = hint;
    SyncGeometry();
}

void ImgBtnWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const QString caption = ToQString(m_button.Caption);
    const QFontMetrics metrics(font());
    const int width = m_button.Width;
    const int height = m_button.Height;
    const skin::ImgBtnPaint paint =
        m_button.Paint(metrics.horizontalAdvance(caption), caption.isEmpty() ? 0 : metrics.height());
    if (width != m_button.Width || height != m_button.Height) {
        resize(m_button.Width, m_button.Height);
    }
    if (paint.HasCaption) {
        const QColor colour = paint.HoverColours ? m_hoverColor : palette().color(QPalette::WindowText);
        painter.setPen(colour);
        painter.drawText(paint.CaptionX, paint.CaptionY + metrics.ascent(), caption);
        for (const auto& line : paint.Arrow) {
            painter.drawLine(line.FromX, line.Y, line.ToX, line.Y);
        }
    }
    if (paint.Shown != nullptr) {
        painter.drawImage(paint.PictureX, paint.PictureY, KeyedImage(*paint.Shown));
    }
}

void ImgBtnWidget::enterEvent(QEnterEvent*) {
    m_button.MouseEnter();
}

void ImgBtnWidget::leaveEvent(QEvent*) {
    m_button.MouseLeave();
}

void ImgBtnWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_button.MouseDown();
    }
    if (monitor::MouseEvent mouse; MouseEventOf(*event, false, mouse)) {
        emit Pressed(mouse);
    }
}

void ImgBtnWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_button.MouseUp();
    if (rect().contains(event->position().toPoint())) {
        emit Clicked();
    }
}

void ImgBtnWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (monitor::MouseEvent mouse; MouseEventOf(*event, true, mouse)) {
        emit Pressed(mouse);
    }
}

}  // namespace ui
