#include "ui/controls/ControlAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <mutex>

#include "ui/controls/LumoCheckBox.h"
#include "ui/controls/LumoComboBox.h"
#include "ui/controls/LumoRadioBtn.h"

namespace uicontrols {

namespace {

class AccessibleLumoButton final : public QAccessibleWidget {
public:
    AccessibleLumoButton(LumoButtonBase* button, QAccessible::Role role)
        : QAccessibleWidget(button, role) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return QString::fromStdString(StripAccelerator(Button()->Caption().toStdString()));
        }
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        if (const auto* box = qobject_cast<const TLumoCheckBox*>(Button())) {
            state.checked = box->State() == CheckState::Checked;
            state.checkStateMixed = box->State() == CheckState::Grayed;
        } else if (const auto* radio = qobject_cast<const TLumoRadioBtn*>(Button())) {
            state.checked = radio->Checked();
        }
        return state;
    }

    QStringList actionNames() const override {
        return {role() == QAccessible::CheckBox ? toggleAction() : pressAction()};
    }

    void doAction(const QString& action) override {
        if (widget()->isEnabled() && actionNames().contains(action)) {
            Button()->Click();
        }
    }

private:
    LumoButtonBase* Button() const { return static_cast<LumoButtonBase*>(widget()); }
};

class AccessibleLumoCombo final : public QAccessibleWidget {
public:
    explicit AccessibleLumoCombo(TLumoComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return Combo()->Text();
        }
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.hasPopup = true;
        return state;
    }

    QStringList actionNames() const override { return {showMenuAction()}; }

    void doAction(const QString& action) override {
        if (widget()->isEnabled() && action == showMenuAction()) {
            Combo()->OpenPopup();
        }
    }

private:
    TLumoComboBox* Combo() const { return static_cast<TLumoComboBox*>(widget()); }
};

QAccessibleInterface* ControlFactory(const QString&, QObject* object) {
    if (auto* box = qobject_cast<TLumoCheckBox*>(object)) {
        return new AccessibleLumoButton(box, QAccessible::CheckBox);
    }
    if (auto* radio = qobject_cast<TLumoRadioBtn*>(object)) {
        return new AccessibleLumoButton(radio, QAccessible::RadioButton);
    }
    if (auto* combo = qobject_cast<TLumoComboBox*>(object)) {
        return new AccessibleLumoCombo(combo);
    }
    return nullptr;
}

}  // namespace

void InstallControlAccessibility() {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(ControlFactory); });
}

}  // namespace uicontrols
