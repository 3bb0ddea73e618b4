#include "ui/controls/ImgBtnWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/controls/ControlAccessibility.h"
#include "ui/controls/Mouse.h"
#include "ui/controls/Pictures.h"
#include "ui/controls/Text.h"

namespace uicontrols {

ImgBtnWidget::ImgBtnWidget(QWidget* parent, skin::TImgBtn& button)
    : PressableWidget(parent), m_button(button), m_spokenName(SpokenName()) {
    InstallControlAccessibility();
    SetPressable(true);
    m_button.OnRepaint = [this] { update(); };
    SyncGeometry();
}

ImgBtnWidget::~ImgBtnWidget() {
    m_button.OnRepaint = nullptr;
}

void ImgBtnWidget::SyncGeometry() {
    // The sizing rules run at paint time; running them now keeps the layout right before
    // the first paint (a hidden start never paints).
    const QFontMetrics metrics(font());
    const QString caption = ToQString(m_button.Caption);
    m_button.Paint(metrics.horizontalAdvance(caption), caption.isEmpty() ? 0 : metrics.height());
    setGeometry(m_button.Left, m_button.Top, m_button.Width, m_button.Height);
    setToolTip(m_button.ShowHint ? ToQString(m_button.Hint) : QString());
    setEnabled(m_button.Enabled);
    AnnounceName(this, m_spokenName, SpokenName());
}

QString ImgBtnWidget::SpokenName() const {
    return ToQString(m_button.Hint.empty() ? m_button.Caption : m_button.Hint);
}

void ImgBtnWidget::Press() {
    if (!isEnabled()) {
        return;
    }
    emit Pressed(KeyboardLeftPress(false));
    emit Clicked();
}

void ImgBtnWidget::SetButtonEnabled(bool enabled) {
    m_button.Enabled = enabled;
    setEnabled(enabled);
}

void ImgBtnWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const QString caption = ToQString(m_button.Caption);
    const QFontMetrics metrics(font());
    const int width = m_button.Width;
    const int height = m_button.Height;
    const skin::ImgBtnPaint paint = m_button.Paint(metrics.horizontalAdvance(caption),
                                                   caption.isEmpty() ? 0 : metrics.height());
    if (width != m_button.Width || height != m_button.Height) {
        resize(m_button.Width, m_button.Height);
    }
    if (paint.HasCaption) {
        const QColor colour =
            paint.HoverColours ? m_hoverColor : palette().color(QPalette::WindowText);
        painter.setPen(colour);
        painter.drawText(paint.CaptionX, paint.CaptionY + metrics.ascent(), caption);
        for (const auto& line : paint.Arrow) {
            painter.drawLine(line.FromX, line.Y, line.ToX, line.Y);
        }
    }
    if (paint.Shown != nullptr) {
        painter.drawImage(paint.PictureX, paint.PictureY, KeyedImage(paint.Shown->Image));
    }
    PaintFocus(painter);
}

void ImgBtnWidget::enterEvent(QEnterEvent*) {
    m_button.MouseEnter();
}

void ImgBtnWidget::leaveEvent(QEvent*) {
    m_button.MouseLeave();
}

void ImgBtnWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_clickArmed = true;
        m_button.MouseDown();
    }
    emit Pressed(ShiftStateOf(*event, false));
}

void ImgBtnWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_button.MouseUp();
    const bool armed = m_clickArmed;
    m_clickArmed = false;
    if (armed && rect().contains(event->position().toPoint())) {
        emit Clicked();
    }
}

void ImgBtnWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is no click of its own when released.
    m_clickArmed = false;
    emit Pressed(ShiftStateOf(*event, true));
}

}  // namespace uicontrols
