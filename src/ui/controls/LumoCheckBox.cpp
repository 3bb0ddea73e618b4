#include "ui/controls/LumoCheckBox.h"

#include <QPainter>

#include "ui/controls/LumoPaint.h"

namespace uicontrols {

TLumoCheckBox::TLumoCheckBox(QWidget* parent) : LumoButtonBase(parent) {}

void TLumoCheckBox::SetState(CheckState state) {
    if (state == m_state) {
        return;
    }
    m_state = state;
    NotifyStateChanged();
}

void TLumoCheckBox::SetChecked(bool checked) {
    SetState(checked ? CheckState::Checked : CheckState::Unchecked);
}

void TLumoCheckBox::Toggle() {
    SetState(NextCheckState(m_state, m_allowGrayed));
}

void TLumoCheckBox::Click() {
    Toggle();
    emit Clicked();
    TakeFocus();
}

void TLumoCheckBox::AcceleratorPressed() {
    if (TakeFocus()) {
        Toggle();
    }
}

void TLumoCheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const CheckLayout layout = PaintCheckCaption(painter, *this, Caption(), Alignment());
    PaintCheckBox(painter, ToQRect(layout.Box), m_border, m_state);
}

}  // namespace uicontrols
