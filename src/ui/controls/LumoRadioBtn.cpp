#include "ui/controls/LumoRadioBtn.h"

#include <QKeyEvent>
#include <QPainter>

#include "ui/controls/LumoPaint.h"

namespace uicontrols {

TLumoRadioBtn::TLumoRadioBtn(QWidget* parent) : LumoButtonBase(parent) {}

QList<TLumoRadioBtn*> TLumoRadioBtn::Siblings() const {
    if (parentWidget() == nullptr) {
        return {const_cast<TLumoRadioBtn*>(this)};
    }
    return parentWidget()->findChildren<TLumoRadioBtn*>(Qt::FindDirectChildrenOnly);
}

void TLumoRadioBtn::SetChecked(bool checked) {
    if (checked) {
        for (TLumoRadioBtn* other : Siblings()) {
            if (other != this) {
                other->SetChecked(false);
            }
        }
    }
    if (checked == m_checked) {
        return;
    }
    m_checked = checked;
    NotifyStateChanged();
}

void TLumoRadioBtn::Click() {
    emit Clicked();
    SetChecked(true);
    TakeFocus();
}

void TLumoRadioBtn::AcceleratorPressed() {
    TakeFocus();
}

void TLumoRadioBtn::keyPressEvent(QKeyEvent* event) {
    const int step = event->key() == Qt::Key_Down || event->key() == Qt::Key_Right ? 1
                     : event->key() == Qt::Key_Up || event->key() == Qt::Key_Left  ? -1
                                                                                   : 0;
    if (step == 0 || event->modifiers() != Qt::NoModifier) {
        LumoButtonBase::keyPressEvent(event);
        return;
    }
    // The arrows move through the group and choose the button they reach, as on other desktops.
    const QList<TLumoRadioBtn*> group = Siblings();
    const qsizetype count = group.size();
    qsizetype at = group.indexOf(this);
    for (qsizetype tries = 1; tries < count; ++tries) {
        at = (at + step + count) % count;
        if (group[at]->isEnabled() && group[at]->isVisible()) {
            group[at]->Click();
            return;
        }
    }
}

void TLumoRadioBtn::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const CheckLayout layout = PaintCheckCaption(painter, *this, Caption(), Alignment());
    PaintRadioButton(painter, ToQRect(layout.Box), m_checked);
}

}  // namespace uicontrols
