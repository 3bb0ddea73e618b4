#pragma once
// The skinned radio button: exclusive among the radio buttons of one parent.
#include "ui/controls/LumoButtonBase.h"

namespace uicontrols {

class TLumoRadioBtn final : public LumoButtonBase {
    Q_OBJECT
public:
    explicit TLumoRadioBtn(QWidget* parent = nullptr);

    bool Checked() const { return m_checked; }
    // Checking one unchecks every other radio button of the same parent.
    void SetChecked(bool checked);

    // The click event, then checked, then the focus.
    void Click() override;

protected:
    // Only takes the focus.
    void AcceleratorPressed() override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The radio buttons of the same parent, in child order.
    QList<TLumoRadioBtn*> Siblings() const;

    bool m_checked = false;
};

}  // namespace uicontrols
