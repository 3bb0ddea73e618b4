#pragma once
// The skinned check box: a 16 x 16 box drawn flat in the dialog's grey look, with an optional
// grayed state.
#include "ui/controls/LumoButtonBase.h"

namespace uicontrols {

class TLumoCheckBox final : public LumoButtonBase {
    Q_OBJECT
public:
    explicit TLumoCheckBox(QWidget* parent = nullptr);

    bool AllowGrayed() const { return m_allowGrayed; }
    void SetAllowGrayed(bool allow) { m_allowGrayed = allow; }
    CheckState State() const { return m_state; }
    void SetState(CheckState state);
    bool Checked() const { return m_state == CheckState::Checked; }
    void SetChecked(bool checked);
    // One step of the state: see NextCheckState.
    void Toggle();

    // Toggle, the click event, then the focus.
    void Click() override;

protected:
    // Takes the focus and, when it got it, toggles without the click event.
    void AcceleratorPressed() override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_allowGrayed = false;
    bool m_border = true;
    CheckState m_state = CheckState::Unchecked;
};

}  // namespace uicontrols
