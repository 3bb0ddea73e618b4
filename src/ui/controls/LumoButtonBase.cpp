#include "ui/controls/LumoButtonBase.h"

#include <algorithm>

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcutEvent>

#include "ui/controls/ControlAccessibility.h"

namespace uicontrols {

LumoButtonBase::LumoButtonBase(QWidget* parent) : QWidget(parent) {
    InstallControlAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    resize(97, 17);
}

QSize LumoButtonBase::sizeHint() const {
    const QFontMetrics metrics(font());
    const QString text = QString::fromStdString(StripAccelerator(m_caption.toStdString()));
    return {20 + metrics.horizontalAdvance(text) + 4,
            std::max(kCheckBoxSize + 1, metrics.height() + 4)};
}

void LumoButtonBase::SetCaption(const QString& caption) {
    m_caption = caption;
    if (m_shortcut != 0) {
        releaseShortcut(m_shortcut);
        m_shortcut = 0;
    }
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
    if (!mnemonic.isEmpty()) {
        m_shortcut = grabShortcut(mnemonic);
    }
    updateGeometry();
    QAccessibleEvent accessible(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&accessible);
    update();
}

void LumoButtonBase::NotifyStateChanged() {
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent accessible(this, changed);
    QAccessible::updateAccessibility(&accessible);
    update();
    emit StateChanged();
}

bool LumoButtonBase::TakeFocus() {
    if (isVisible() && isEnabled() && focusPolicy() != Qt::NoFocus) {
        setFocus(Qt::ShortcutFocusReason);
    }
    return hasFocus();
}

bool LumoButtonBase::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut &&
        static_cast<QShortcutEvent*>(event)->shortcutId() == m_shortcut) {
        if (isEnabled()) {
            AcceleratorPressed();
        }
        return true;
    }
    return QWidget::event(event);
}

void LumoButtonBase::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void LumoButtonBase::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click) {
        Click();
    }
}

void LumoButtonBase::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void LumoButtonBase::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void LumoButtonBase::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void LumoButtonBase::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) {
        update();
    }
    QWidget::changeEvent(event);
}

}  // namespace uicontrols
