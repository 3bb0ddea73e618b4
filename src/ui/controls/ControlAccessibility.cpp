#include "ui/controls/ControlAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <mutex>

#include "ui/controls/ImageWidget.h"
#include "ui/controls/ImgBtnWidget.h"
#include "ui/controls/LumoCheckBox.h"
#include "ui/controls/LumoComboBox.h"
#include "ui/controls/LumoRadioBtn.h"
#include "ui/controls/WebLnk.h"

namespace uicontrols {

namespace {

// A skinned control's actions come first (the first is what a reader's "activate" runs), and
// Qt's SetFocus stays after them: grabbing the focus goes through it.
class AccessibleControl : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    QStringList actionNames() const final {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled()) {
            names = OwnActions() + names;
        }
        return names;
    }

    void doAction(const QString& action) final {
        if (!widget()->isEnabled()) {
            return;
        }
        if (OwnActions().contains(action)) {
            Perform(action);
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

protected:
    virtual QStringList OwnActions() const = 0;
    virtual void Perform(const QString& action) = 0;
    // The widget's own accessible name when it has one, else the given one.
    QString NameOr(const QString& name) const {
        const QString own = widget()->accessibleName();
        return own.isEmpty() ? name : own;
    }
};

class AccessibleLumoButton final : public AccessibleControl {
public:
    AccessibleLumoButton(LumoButtonBase* button, QAccessible::Role role)
        : AccessibleControl(button, role) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            return NameOr(
                QString::fromStdString(StripAccelerator(Button()->Caption().toStdString())));
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

private:
    QStringList OwnActions() const override {
        return {role() == QAccessible::CheckBox ? toggleAction() : pressAction()};
    }
    void Perform(const QString&) override { Button()->Click(); }
    LumoButtonBase* Button() const { return static_cast<LumoButtonBase*>(widget()); }
};

// As Qt's own combo box on this desktop: the name and the value are the chosen entry, and
// the label is related by labelled-by (the buddy). A change event then carries the new text.
class AccessibleLumoCombo final : public AccessibleControl {
public:
    explicit AccessibleLumoCombo(TLumoComboBox* combo)
        : AccessibleControl(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        switch (kind) {
            case QAccessible::Name:
            case QAccessible::Value:
                if (!Combo()->Text().isEmpty()) {
                    return Combo()->Text();
                }
                break;
            case QAccessible::Description:
                // A list without a label carries its title as its accessible name.
                if (widget()->accessibleDescription().isEmpty()) {
                    return widget()->accessibleName();
                }
                break;
            default:
                break;
        }
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.hasPopup = true;
        return state;
    }

private:
    QStringList OwnActions() const override { return {showMenuAction(), pressAction()}; }
    void Perform(const QString&) override { Combo()->OpenPopup(); }
    TLumoComboBox* Combo() const { return static_cast<TLumoComboBox*>(widget()); }
};

class AccessibleImgBtn final : public AccessibleControl {
public:
    explicit AccessibleImgBtn(ImgBtnWidget* button)
        : AccessibleControl(button, QAccessible::PushButton) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            return NameOr(Button()->SpokenName());
        }
        return QAccessibleWidget::text(kind);
    }

private:
    QStringList OwnActions() const override { return {pressAction()}; }
    void Perform(const QString&) override { Button()->Press(); }
    ImgBtnWidget* Button() const { return static_cast<ImgBtnWidget*>(widget()); }
};

class AccessibleImage final : public AccessibleControl {
public:
    explicit AccessibleImage(ImageWidget* image) : AccessibleControl(image, image->Role()) {}

    // Qt keeps the interface for the widget's life; its owner may set the role later.
    QAccessible::Role role() const override { return Image()->Role(); }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            const QString spoken = Image()->SpokenName();
            return NameOr(spoken.isEmpty() ? widget()->toolTip() : spoken);
        }
        return QAccessibleWidget::text(kind);
    }

private:
    QStringList OwnActions() const override {
        return role() == QAccessible::PushButton ? QStringList{pressAction()} : QStringList{};
    }
    void Perform(const QString&) override { Image()->Press(); }
    ImageWidget* Image() const { return static_cast<ImageWidget*>(widget()); }
};

class AccessibleLink final : public AccessibleControl {
public:
    explicit AccessibleLink(TWebLnk* link) : AccessibleControl(link, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            const QString shown = Link()->text();
            return NameOr(shown.isEmpty() ? QString::fromStdString(Link()->Link()) : shown);
        }
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        return state;
    }

private:
    QStringList OwnActions() const override { return {pressAction()}; }
    void Perform(const QString&) override { Link()->Click(); }
    TWebLnk* Link() const { return static_cast<TWebLnk*>(widget()); }
};

std::function<void(QAccessibleEvent&)>& Watcher() {
    static std::function<void(QAccessibleEvent&)> watcher;
    return watcher;
}

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
    if (auto* button = qobject_cast<ImgBtnWidget*>(object)) {
        return new AccessibleImgBtn(button);
    }
    if (auto* image = qobject_cast<ImageWidget*>(object)) {
        return new AccessibleImage(image);
    }
    if (auto* link = qobject_cast<TWebLnk*>(object)) {
        return new AccessibleLink(link);
    }
    return nullptr;
}

}  // namespace

void Announce(QAccessibleEvent& event) {
    if (Watcher()) {
        Watcher()(event);
    }
    QAccessible::updateAccessibility(&event);
}

void AnnounceName(QObject* control, QString& announced, const QString& name) {
    if (name != announced) {
        announced = name;
        QAccessibleEvent renamed(control, QAccessible::NameChanged);
        Announce(renamed);
    }
}

void WatchAnnouncements(std::function<void(QAccessibleEvent&)> watcher) {
    Watcher() = std::move(watcher);
}

void InstallControlAccessibility() {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(ControlFactory); });
}

}  // namespace uicontrols
