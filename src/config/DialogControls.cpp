#include "config/DialogControls.h"

namespace config {

std::string Control::SelectedItem() const {
    if (Index < 0 || Index >= static_cast<int>(Items.size())) {
        return {};
    }
    return Items[static_cast<std::size_t>(Index)];
}

Control& DialogControls::Add(const std::string& name, Control control) {
    if (!Has(name)) {
        m_order.push_back(name);
    }
    return m_controls[name] = std::move(control);
}

Control& DialogControls::operator[](const std::string& name) {
    const auto found = m_controls.find(name);
    if (found == m_controls.end()) {
        throw UnknownControl("no control " + name);
    }
    return found->second;
}

const Control& DialogControls::operator[](const std::string& name) const {
    const auto found = m_controls.find(name);
    if (found == m_controls.end()) {
        throw UnknownControl("no control " + name);
    }
    return found->second;
}

void DialogControls::CheckRadio(const std::string& name) {
    const std::string parent = (*this)[name].Parent;
    for (auto& [other, control] : m_controls) {
        if (control.Kind == ControlKind::RadioButton && control.Parent == parent) {
            control.Checked = other == name;
        }
    }
}

void DialogControls::ShowPanel(const std::string& name) {
    for (auto& [other, control] : m_controls) {
        if (control.Kind == ControlKind::Panel) {
            control.Visible = other == name;
        }
    }
}

std::string DescribeControl(const DialogControls& controls, const std::string& name) {
    const Control& control = controls[name];
    const ControlKind kind = control.Kind;
    const bool hasText = kind != ControlKind::Panel && kind != ControlKind::ListBox;
    const bool hasCheck = kind == ControlKind::CheckBox || kind == ControlKind::RadioButton;
    const bool hasEnabled = kind != ControlKind::Label && kind != ControlKind::Link;
    const bool isList = kind == ControlKind::ComboBox || kind == ControlKind::ListBox;
    std::string line = "show: " + name;
    if (hasText) {
        // A masked edit shows one "*" per character, and so does its description.
        const std::string text = kind == ControlKind::ComboBox ? control.SelectedItem()
                                 : control.Masked ? std::string(control.Text.size(), '*')
                                                  : control.Text;
        line += " text=" + text;
    }
    if (hasCheck) {
        line += control.Checked ? " checked=1" : " checked=0";
    }
    if (hasEnabled) {
        line += control.Enabled ? " enabled=1" : " enabled=0";
    }
    if (isList) {
        line += " index=" + std::to_string(control.Index) + " items=";
        for (std::size_t i = 0; i < control.Items.size(); ++i) {
            line += (i == 0 ? "" : "|") + control.Items[i];
        }
    }
    return line;
}

}  // namespace config
