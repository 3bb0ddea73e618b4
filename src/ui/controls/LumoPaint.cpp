#include "ui/controls/LumoPaint.h"

#include <QStyleOptionFocusRect>

namespace uicontrols {

namespace {

const QColor kDarkGrey(85, 85, 85);
const QColor kLightGrey(170, 170, 170);

QString WithoutMarker(const QString& caption) {
    return QString::fromStdString(StripAccelerator(caption.toStdString()));
}

}  // namespace

QRect ToQRect(const Rect& rect) {
    return QRect(rect.Left, rect.Top, rect.Width, rect.Height);
}

CheckLayout PaintCheckCaption(QPainter& painter, const QWidget& control, const QString& caption,
                              CheckAlignment alignment) {
    const QPalette& palette = control.palette();
    painter.fillRect(control.rect(), palette.color(QPalette::Window));
    const QFontMetrics metrics(control.font());
    const CheckLayout layout =
        LayOutCheck(alignment, control.width(), control.height(),
                    metrics.horizontalAdvance(WithoutMarker(caption)), metrics.height());
    const QRect text = ToQRect(layout.Text);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (control.isEnabled()) {
        painter.setPen(palette.color(QPalette::WindowText));
    } else {
        painter.setPen(palette.color(QPalette::Light));
        painter.drawText(text.translated(1, 1), flags, caption);
        painter.setPen(palette.color(QPalette::Disabled, QPalette::WindowText));
    }
    painter.drawText(text, flags, caption);
    if (control.hasFocus()) {
        painter.setPen(QPen(palette.color(QPalette::WindowText), 1, Qt::DotLine));
        painter.drawRect(text.adjusted(0, 0, -1, -1));
    }
    return layout;
}

void PaintCheckBox(QPainter& painter, const QRect& box, bool border, CheckState state) {
    if (border) {
        const int l = box.left();
        const int t = box.top();
        const int r = box.right();
        const int b = box.bottom();
        painter.setPen(Qt::white);
        painter.drawLine(l, t, r, t);
        painter.drawLine(l, t, l, b);
        painter.setPen(Qt::black);
        painter.drawLine(l, b, r, b);
        painter.drawLine(r, t, r, b);
        painter.setPen(kDarkGrey);
        painter.drawLine(l + 1, b - 1, r - 1, b - 1);
        painter.drawLine(r - 1, t + 1, r - 1, b - 1);
    }
    if (state != CheckState::Checked) {
        return;
    }
    const QPoint tick[] = {box.topLeft() + QPoint(4, 7), box.topLeft() + QPoint(6, 10),
                           box.topLeft() + QPoint(11, 4)};
    const std::pair<QColor, QPoint> strokes[] = {
        {Qt::white, QPoint(1, 1)}, {kDarkGrey, QPoint(0, 1)}, {Qt::black, QPoint(0, 0)}};
    for (const auto& [colour, offset] : strokes) {
        painter.setPen(QPen(colour, 2));
        painter.drawLine(tick[0] + offset, tick[1] + offset);
        painter.drawLine(tick[1] + offset, tick[2] + offset);
    }
}

void PaintRadioButton(QPainter& painter, const QRect& box, bool checked) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect circle = box.adjusted(0, 0, -1, -1);
    painter.setPen(kDarkGrey);
    painter.drawArc(circle, 45 * 16, 180 * 16);
    painter.setPen(Qt::white);
    painter.drawArc(circle, 225 * 16, 180 * 16);
    painter.setPen(Qt::black);
    painter.drawArc(circle.adjusted(1, 1, -1, -1), 45 * 16, 180 * 16);
    painter.setPen(kLightGrey);
    painter.drawArc(circle.adjusted(1, 1, -1, -1), 225 * 16, 180 * 16);
    if (checked) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(circle.adjusted(2, 2, -2, -2));
        // A white well alone reads as an empty button: the mark is a dark dot on it, drawn
        // like the check box's tick in dark grey under black.
        const QRectF well(circle);
        painter.setBrush(kDarkGrey);
        painter.drawEllipse(well.adjusted(4, 4, -4, -4));
        painter.setBrush(Qt::black);
        painter.drawEllipse(well.adjusted(4.5, 4.5, -5, -5));
    }
    painter.restore();
}

}  // namespace uicontrols
