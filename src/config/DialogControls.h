#pragma once
// The configuration dialog's controls as plain state, one record per control name. The Qt
// dialog shows this state and the headless tool prints it; both drive the same logic.
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace config {

enum class ControlKind {
    Panel,
    Label,
    Link,
    Edit,
    Button,
    CheckBox,
    RadioButton,
    ComboBox,
    ListBox
};

struct Control {
    ControlKind Kind = ControlKind::Label;
    std::string Parent;   // the page (panel) that holds it; empty for the dialog itself
    std::string Caption;  // an edit's or list's label text (with its accelerator)
    std::string Text;     // content of an edit or label, caption of a button or check box
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
    int Index = -1;  // lists: the selected entry, -1 for none
    std::vector<std::string> Items;
    std::string Link;        // links: the target opened by a click
    bool EmailLink = false;  // links: opened with "mailto:" before the target
    bool Masked = false;     // edits: shown as "*"
    int Minimum = 0;         // edits with an up-down: its range
    int Maximum = -1;        // below Minimum: no up-down
    std::string Picture;     // MenuBtn: the page-menu item whose picture it shows
    bool Beside = false;     // shown on the row of the control added before it

    bool HasUpDown() const { return Maximum >= Minimum; }
    // The entry the list shows, or the empty text when Index is not an entry.
    std::string SelectedItem() const;
};

// Thrown for a control name the dialog does not have.
class UnknownControl : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class DialogControls {
public:
    Control& Add(const std::string& name, Control control);
    bool Has(const std::string& name) const { return m_controls.count(name) != 0; }
    Control& operator[](const std::string& name);
    const Control& operator[](const std::string& name) const;
    // The names in the order the controls were added (the tab order of the dialog).
    const std::vector<std::string>& Names() const { return m_order; }

    // Checks the radio button and unchecks every other radio button of the same parent.
    void CheckRadio(const std::string& name);
    // Shows one panel and hides every other panel.
    void ShowPanel(const std::string& name);

private:
    std::map<std::string, Control> m_controls;
    std::vector<std::string> m_order;
};

// The state of a control as one line: "show: NAME" followed by those of " text=", " checked=",
// " enabled=", " index=", " items=A|B" that apply to its kind, in that order. A masked edit's
// text is given as it shows, in "*".
std::string DescribeControl(const DialogControls& controls, const std::string& name);

}  // namespace config
