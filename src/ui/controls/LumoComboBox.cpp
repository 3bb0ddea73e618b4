#include "ui/controls/LumoComboBox.h"

#include <algorithm>

#include <QAccessible>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "ui/controls/ControlAccessibility.h"

namespace uicontrols {

namespace {

constexpr int kCaptionX = 5;

void DrawArrow(QPainter& painter, int right, int middle) {
    // A small raised triangle: the glyph's outline in white and black over its grey body.
    const int left = right - 15;
    for (int row = 0; row < 4; ++row) {
        painter.setPen(row == 0 ? QColor(Qt::white) : QColor(Qt::black));
        painter.drawLine(left + 2 + row, middle - 2 + row, left + 8 - row, middle - 2 + row);
    }
    painter.setPen(QColor(128, 128, 128));
    painter.drawPoint(left + 5, middle + 2);
}

}  // namespace

TLumoComboBox::TLumoComboBox(QWidget* parent) : QWidget(parent) {
    InstallControlAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setFixedHeight(kComboHeight);
}

TLumoComboBox::~TLumoComboBox() = default;

void TLumoComboBox::SetItems(std::vector<std::string> items) {
    m_entries.SetItems(std::move(items));
    update();
}

void TLumoComboBox::SetItemIndex(int index) {
    m_entries.SetItemIndex(index);
    QAccessibleValueChangeEvent accessible(this, Text());
    QAccessible::updateAccessibility(&accessible);
    update();
}

QString TLumoComboBox::Text() const {
    return QString::fromStdString(m_entries.Text());
}

QMenu* TLumoComboBox::OpenPopup() {
    if (m_popup) {
        // The old list may be the sender of the choice that runs now: it goes later.
        m_popup->hide();
        m_popup.release()->deleteLater();
    }
    m_popup = std::make_unique<QMenu>();
    m_popup->setObjectName(objectName() + "Popup");
    m_popup->setStyleSheet(
        QStringLiteral("QMenu { background: rgb(192,192,192); border: 1px solid black; }"
                       "QMenu::item { height: %1px; padding: 0 5px; color: black;"
                       " background: rgb(192,192,192); border: 1px outset rgb(192,192,192); }"
                       "QMenu::item:selected { background: rgb(228,228,228); }")
            .arg(kComboItemHeight - 2));
    m_popup->setMinimumWidth(std::max(width() - 18, 1));
    const std::vector<std::string>& items = m_entries.Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int tag = static_cast<int>(i);
        QAction* action = m_popup->addAction(QString::fromStdString(items[i]));
        action->setCheckable(true);
        action->setChecked(tag == ItemIndex());
        connect(action, &QAction::triggered, this, [this, tag] { ChooseEntry(tag); });
    }
    m_popup->popup(mapToGlobal(QPoint(0, ComboPopupTop(0, std::max(ItemIndex(), 0)))));
    return m_popup.get();
}

void TLumoComboBox::ChooseEntry(int index) {
    const bool changed = m_entries.Choose(index);
    QAccessibleValueChangeEvent accessible(this, Text());
    QAccessible::updateAccessibility(&accessible);
    update();
    if (changed) {
        emit Changed();
    }
}

void TLumoComboBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, palette().color(QPalette::Button));
    painter.setPen(Qt::white);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(Qt::black);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
    painter.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
    DrawArrow(painter, r.right() - 4, r.center().y());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const QRect text(kCaptionX, 0, std::max(width() - kCaptionX - 18, 0), height());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Text());
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.drawRect(r.adjusted(2, 2, -19, -3));
    }
}

void TLumoComboBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && event->buttons() == Qt::LeftButton &&
        event->modifiers() == Qt::NoModifier) {
        setFocus(Qt::MouseFocusReason);
        OpenPopup();
    }
    emit MouseDown();
}

void TLumoComboBox::keyPressEvent(QKeyEvent* event) {
    const int count = static_cast<int>(Items().size());
    const bool alt = event->modifiers() == Qt::AltModifier;
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (alt) {
                OpenPopup();
            } else if (count > 0) {
                const int step = event->key() == Qt::Key_Down ? 1 : -1;
                ChooseEntry(std::clamp(ItemIndex() + step, 0, count - 1));
            }
            return;
        case Qt::Key_Home:
        case Qt::Key_End:
            if (count > 0) {
                ChooseEntry(event->key() == Qt::Key_Home ? 0 : count - 1);
            }
            return;
        case Qt::Key_Space:
        case Qt::Key_F4:
            OpenPopup();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void TLumoComboBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (height() != kComboHeight) {
        setFixedHeight(kComboHeight);
    }
}

void TLumoComboBox::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void TLumoComboBox::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

}  // namespace uicontrols
