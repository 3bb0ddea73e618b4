#include "ui/config/ConfigDialog.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "config/ConfigControls.h"
#include "config/PageMenu.h"
#include "ui/config/QtSettingsSearch.h"
#include "ui/controls/LumoCheckBox.h"
#include "ui/controls/LumoComboBox.h"
#include "ui/controls/LumoRadioBtn.h"
#include "ui/controls/WebLnk.h"

namespace uiconfig {

namespace {

using config::ControlKind;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QIcon PagePicture(const std::string& item, const QStyle& style) {
    static const std::map<std::string, QStyle::StandardPixmap> pictures = {
        {"MnuOp", QStyle::SP_FileDialogDetailedView},
        {"MnuCpt", QStyle::SP_ArrowDown},
        {"VrMail1", QStyle::SP_ArrowUp},
        {"MnuNews", QStyle::SP_FileDialogContentsView},
        {"MnuSkin", QStyle::SP_DesktopIcon},
        {"MnuAbout", QStyle::SP_MessageBoxInformation}};
    const auto found = pictures.find(item);
    return found == pictures.end() ? QIcon() : style.standardIcon(found->second);
}

// The button that Enter presses while a page is in view.
const char* DefaultButtonOf(const std::string& page) {
    if (page == "PopPan") {
        return "AddAcc";
    }
    if (page == "FiltrePan") {
        return "AddFilt";
    }
    return "OK";
}

// The controls that have no caption a screen reader could speak, and the names it reads.
QString SpokenName(const std::string& control) {
    static const std::map<std::string, const char*> names = {
        {"LstRAS", "Dial-up connection"},
        {"Min", "Check for messages every (minutes)"},
        {"SndFile", "Sound file"},
        {"SndBr", "Choose the sound file..."},
        {"MailClient", "Mail program"},
        {"BrClient", "Choose the mail program..."},
        {"LstAcc", "Account"},
        {"BtnSign", "Choose the signature file..."},
        {"FilterLst", "Filters"},
        {"FilterEdit", "Filter"},
        {"BrSkin", "Choose the skin folder..."}};
    const auto found = names.find(control);
    return found == names.end() ? QString() : QString::fromLatin1(found->second);
}

}  // namespace

ConfigDialog::ConfigDialog(config::TConfig& logic, QWidget* parent)
    : QDialog(parent), m_logic(logic) {
    setObjectName("Config");
    setWindowTitle("Vorla Configuration");
    // The flat grey of the skinned windows, on which the controls' white and black edges show.
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    grey.setColor(QPalette::Button, QColor(192, 192, 192));
    setPalette(grey);
    auto* layout = new QVBoxLayout(this);
    m_menuBtn = new QToolButton(this);
    m_menuBtn->setObjectName("MenuBtn");
    m_menuBtn->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_menuBtn->setIconSize(QSize(16, 16));
    m_widgets["MenuBtn"] = m_menuBtn;
    layout->addWidget(m_menuBtn, 0, Qt::AlignLeft);
    for (const char* page : config::kPages) {
        auto* panel = new QWidget(this);
        panel->setObjectName(page);
        m_widgets[page] = panel;
        BuildPage(page, panel);
        layout->addWidget(panel, 1);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (const char* name : {"OK", "Cancel"}) {
        buttons->addWidget(MakeWidget(name, m_logic.Controls[name], this));
    }
    layout->addLayout(buttons);
    BuildPageMenu();
    connect(m_menuBtn, &QToolButton::pressed, this,
            [this] { m_pageMenu->popup(m_menuBtn->mapToGlobal(m_menuBtn->rect().bottomLeft())); });
    setFixedSize(540, 680);
    m_search = std::make_unique<QtSettingsSearch>([this] { Sync(); });
    m_logic.SetSettingsSearch(m_search.get());
    Sync();
}

ConfigDialog::~ConfigDialog() {
    m_logic.SetSettingsSearch(nullptr);
}

void ConfigDialog::BuildPage(const std::string& page, QWidget* panel) {
    auto* grid = new QGridLayout(panel);
    int row = 0;
    for (const std::string& name : m_logic.Controls.Names()) {
        const config::Control& control = m_logic.Controls[name];
        if (control.Parent != page) {
            continue;
        }
        QWidget* widget = MakeWidget(name, control, panel);
        if (control.Beside && row > 0) {
            grid->addWidget(widget, row - 1, 2);
            continue;
        }
        const bool boxed =
            control.Kind == ControlKind::CheckBox || control.Kind == ControlKind::RadioButton;
        if (!control.Caption.empty() && !boxed) {
            auto* label = new QLabel(Q(control.Caption), panel);
            label->setObjectName(Q(name + "Lbl"));
            label->setBuddy(widget);
            grid->addWidget(label, row, 0);
            grid->addWidget(widget, row, 1);
        } else {
            grid->addWidget(widget, row, 0, 1, 2);
        }
        ++row;
    }
    grid->setRowStretch(row, 1);
}

QWidget* ConfigDialog::MakeWidget(const std::string& name, const config::Control& control,
                                  QWidget* page) {
    QWidget* widget = nullptr;
    switch (control.Kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(page);
            label->setWordWrap(true);
            widget = label;
            break;
        }
        case ControlKind::Link: {
            auto* link = new uicontrols::TWebLnk(page);
            link->SetTypeLnk(control.EmailLink ? uicontrols::LinkType::ltEmail
                                               : uicontrols::LinkType::ltWeb);
            // The logic opens the link through its shell and ends the dialog.
            connect(link, &uicontrols::TWebLnk::Clicked, this,
                    [this, name] { Act([this, name] { m_logic.Click(name); }); });
            widget = link;
            break;
        }
        case ControlKind::Edit:
            if (control.HasUpDown()) {
                auto* spin = new QSpinBox(page);
                spin->setRange(control.Minimum, control.Maximum);
                connect(spin, &QSpinBox::textChanged, this, [this, name](const QString& text) {
                    if (!m_syncing) {
                        m_logic.SetText(name, text.toStdString());
                    }
                });
                widget = spin;
            } else {
                auto* edit = new QLineEdit(page);
                edit->setEchoMode(control.Masked ? QLineEdit::Password : QLineEdit::Normal);
                // An edit's OnChange may change other controls (the port the security); the
                // focus stays where the user types.
                connect(edit, &QLineEdit::textEdited, this, [this, name](const QString& text) {
                    m_logic.SetText(name, text.toStdString());
                    SyncWidgets();
                });
                widget = edit;
            }
            break;
        case ControlKind::Button: {
            auto* button = new QPushButton(page);
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this,
                    [this, name] { Act([this, name] { m_logic.Click(name); }); });
            widget = button;
            break;
        }
        case ControlKind::CheckBox: {
            auto* box = new uicontrols::TLumoCheckBox(page);
            connect(box, &uicontrols::TLumoCheckBox::Clicked, this, [this, name, box] {
                // The box has toggled itself; the logic takes the click from the state before.
                m_logic.Controls[name].Checked = !box->Checked();
                Act([this, name] { m_logic.Click(name); });
            });
            // The accelerator toggles without a click: the state alone follows.
            connect(box, &uicontrols::TLumoCheckBox::StateChanged, this, [this, name, box] {
                if (!m_syncing) {
                    m_logic.Controls[name].Checked = box->Checked();
                }
            });
            widget = box;
            break;
        }
        case ControlKind::RadioButton: {
            auto* radio = new uicontrols::TLumoRadioBtn(page);
            connect(radio, &uicontrols::TLumoRadioBtn::Clicked, this,
                    [this, name] { Act([this, name] { m_logic.Click(name); }); });
            widget = radio;
            break;
        }
        case ControlKind::ComboBox: {
            auto* combo = new uicontrols::TLumoComboBox(page);
            connect(combo, &uicontrols::TLumoComboBox::MouseDown, this,
                    [this, name] { Act([this, name] { m_logic.MouseDown(name); }); });
            connect(combo, &uicontrols::TLumoComboBox::Changed, this, [this, name, combo] {
                Act([this, name, combo] { m_logic.Choose(name, combo->ItemIndex()); });
            });
            widget = combo;
            break;
        }
        case ControlKind::ListBox: {
            auto* list = new QListWidget(page);
            connect(list, &QListWidget::currentRowChanged, this, [this, name](int row) {
                if (!m_syncing && row >= 0) {
                    Act([this, name, row] { m_logic.Choose(name, row); });
                }
            });
            widget = list;
            break;
        }
        case ControlKind::Panel:
            widget = new QWidget(page);
            break;
    }
    widget->setObjectName(Q(name));
    widget->setAccessibleName(SpokenName(name));
    m_widgets[name] = widget;
    return widget;
}

void ConfigDialog::BuildPageMenu() {
    m_pageMenu = new QMenu(this);
    m_pageMenu->setObjectName("PageMenu");
    for (const config::PageMenuItem& item : config::PageMenuItems()) {
        if (item.Caption.empty()) {
            m_pageMenu->addSeparator();
            continue;
        }
        // No automatic accelerators: "&&" keeps an "&" of a caption as it is.
        QAction* action = m_pageMenu->addAction(PagePicture(item.Name, *style()),
                                                Q(item.Caption).replace("&", "&&"));
        action->setObjectName(Q(item.Name));
        const int tag = item.Tag;
        connect(action, &QAction::triggered, this,
                [this, tag] { Act([this, tag] { m_logic.MnuClick(tag); }); });
    }
}

void ConfigDialog::Act(const std::function<void()>& action) {
    action();
    Sync();
    EndIfEnded();
}

void ConfigDialog::EndIfEnded() {
    switch (m_logic.Result()) {
        case config::DialogResult::Ok:
            QDialog::accept();
            break;
        case config::DialogResult::Cancel:
            QDialog::reject();
            break;
        case config::DialogResult::Pending:
            break;
    }
}

void ConfigDialog::reject() {
    // Escape or the window's close button: as "&Close".
    if (m_logic.Result() == config::DialogResult::Pending) {
        Act([this] { m_logic.Click("Cancel"); });
        return;
    }
    QDialog::reject();
}

void ConfigDialog::ShowModal() {
    Sync();
    exec();
}

void ConfigDialog::showEvent(QShowEvent* event) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

void ConfigDialog::SyncWidgets() {
    m_syncing = true;
    for (const std::string& name : m_logic.Controls.Names()) {
        SyncWidget(name, m_logic.Controls[name]);
    }
    m_syncing = false;
}

void ConfigDialog::Sync() {
    SyncWidgets();
    std::string page;
    for (const char* panel : config::kPages) {
        if (m_logic.Controls[panel].Visible) {
            page = panel;
        }
    }
    if (auto* button = qobject_cast<QPushButton*>(m_widgets[DefaultButtonOf(page)])) {
        button->setDefault(true);
    }
    if (!m_logic.Focused().empty() && m_widgets.count(m_logic.Focused()) != 0) {
        m_widgets[m_logic.Focused()]->setFocus();
    }
}

void ConfigDialog::SyncWidget(const std::string& name, const config::Control& control) {
    QWidget* widget = m_widgets.at(name);
    widget->setEnabled(control.Enabled);
    if (control.Kind == ControlKind::Panel) {
        widget->setVisible(control.Visible);
        return;
    }
    if (name == "MenuBtn") {
        m_menuBtn->setText(Q(control.Text));
        m_menuBtn->setIcon(PagePicture(control.Picture, *style()));
        return;
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(Q(control.Text));
        if (auto* link = qobject_cast<uicontrols::TWebLnk*>(widget)) {
            link->SetLink(control.Link);
        }
    } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
        bool number = false;
        const int value = Q(control.Text).toInt(&number);
        if (number) {
            spin->setValue(value);
        }
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (edit->text() != Q(control.Text)) {
            edit->setText(Q(control.Text));
        }
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(Q(control.Text));
        // A button that shows a file's name is read by it; "..." alone says nothing.
        const QString spoken = control.Text == "..." ? SpokenName(name) : QString();
        if (button->accessibleName() != spoken) {
            button->setAccessibleName(spoken);
        }
    } else if (auto* box = qobject_cast<uicontrols::TLumoCheckBox*>(widget)) {
        box->SetCaption(Q(control.Text));
        box->SetChecked(control.Checked);
    } else if (auto* radio = qobject_cast<uicontrols::TLumoRadioBtn*>(widget)) {
        radio->SetCaption(Q(control.Text));
        radio->SetChecked(control.Checked);
    } else if (auto* combo = qobject_cast<uicontrols::TLumoComboBox*>(widget)) {
        combo->SetItems(control.Items);
        combo->SetItemIndex(control.Index);
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        QStringList items;
        for (const std::string& item : control.Items) {
            items << Q(item);
        }
        QStringList shown;
        for (int row = 0; row < list->count(); ++row) {
            shown << list->item(row)->text();
        }
        // Refilled only when the entries changed, so that a sync keeps the list's scrolling.
        if (shown != items) {
            list->clear();
            list->addItems(items);
        }
        if (list->currentRow() != control.Index) {
            list->setCurrentRow(control.Index);
        }
    }
}

}  // namespace uiconfig
