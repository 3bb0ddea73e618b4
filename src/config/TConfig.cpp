#include "config/TConfig.h"

#include "config/ConfigControls.h"
#include "config/ConfigTexts.h"
#include "config/OptionMapping.h"
#include "config/PageMenu.h"
#include "config/SecurityFields.h"
#include "monitor/NewMailText.h"
#include "platform/Links.h"
#include "settings/LineReader.h"

namespace config {

namespace {

constexpr int kSmtpPageTag = 5;
constexpr int kMainPageTag = 0;

}  // namespace

TConfig::TConfig(settings::Config& config, settings::Tables& tables, std::string folder,
                 ConfigServices services)
    : Controls(BuildConfigControls()),
      m_context(Controls, config, tables, settings::WithTrailingSlash(std::move(folder)),
                services.dialogs),
      m_services(services),
      m_open(services.files),
      m_skin(m_context, m_open, services.files, services.skinHost, services.preview) {
    m_clicks = {
        {"AddAcc", [this] { m_accounts.AddAccClick(); }},
        {"Modify", [this] { m_accounts.ModifyClick(); }},
        {"BtnFind", [this] { m_find.BtnFindClick(); }},
        {"DelAcc", [this] { m_accounts.DelAccClick(); }},
        {"ChkAct", [this] { m_accounts.ChkActClick(); }},
        {"ChkInact", [this] { m_accounts.ChkInactClick(); }},
        {"ChkTray", [this] { ChkTrayClick(); }},
        {"SndBr", [this] { SndBrClick(); }},
        {"AccSndBr", [this] { BrowseInto(kSoundFilter, "AccSound"); }},
        {"BrClient", [this] { BrClientClick(); }},
        {"AddFilt", [this] { m_filters.AddFiltClick(); }},
        {"DelFilt", [this] { m_filters.DelFiltClick(); }},
        {"BtnApply", [this] { m_identities.BtnApplyClick(); }},
        {"BtnSign", [this] { m_identities.BtnSignClick(); }},
        {"Browse", [this] { m_skin.BrowseClick(); }},
        {"BrSkin", [this] { m_skin.BrSkinClick(); }},
        {"OK", [this] { OKClick(); }},
        {"Cancel", [this] { CancelClick(); }},
    };
    m_changes = {
        {"LstAcc", [this] { m_accounts.LstAccSel(); }},
        {"FilterLst", [this] { m_filters.FilterLstChange(); }},
        {"LstSrv", [this] { m_filters.LstSrvChange(); }},
        {"MailLst", [this] { m_identities.MailLstChange(); }},
        {"TlsMode", [this] { m_accounts.TlsModeChange(); }},
        {"ProtocolBox", [this] { m_accounts.ProtocolBoxChange(); }},
        {"PortTxt", [this] { m_accounts.PortTxtChange(); }},
    };
}

void TConfig::FillConfigDialog(const std::vector<std::string>& dialUpEntries,
                               const std::vector<std::string>& newsServers) {
    FillOptions(Controls, m_context.Config, m_context.Tables, dialUpEntries, newsServers);
    m_filters.ServerLines = newsServers;
}

bool TConfig::ReadConfigDialog() {
    const bool autorunChanged = TakeOptions(Controls, m_context.Config);
    m_keyring.MoveAll(m_context.Config.use_keyring);
    return autorunChanged;
}

void TConfig::FormShow() {
    m_result = DialogResult::Pending;
    const PageMenuItem& first = PageMenuItems().front();
    Controls["MenuBtn"].Text = first.Caption;
    Controls["MenuBtn"].Picture = first.Name;
    m_skin.Remember();
    Controls.ShowPanel(first.Page);
}

void TConfig::MnuClick(int tag) {
    const std::optional<PageMenuItem> item = PageMenuItemOfTag(tag);
    if (!item) {
        return;
    }
    Controls["MenuBtn"].Text = item->Caption;
    Controls["MenuBtn"].Picture = item->Name;
    Controls.ShowPanel(item->Page);
    switch (tag) {
        case 1:
            m_accounts.LstAccSel();
            break;
        case 2:
            m_filters.Show();
            break;
        case 3:
            m_skin.Show();
            break;
        case 5:
            m_identities.Show();
            break;
        default:
            break;
    }
}

bool TConfig::Click(const std::string& name) {
    Control& control = Controls[name];
    if (!control.Enabled || m_result != DialogResult::Pending || m_handling) {
        return false;
    }
    const HandlingScope handling(m_handling);
    const auto handler = m_clicks.find(name);
    switch (control.Kind) {
        case ControlKind::CheckBox:
            control.Checked = !control.Checked;
            break;
        case ControlKind::RadioButton:
            // The click event comes before the button is checked.
            if (handler != m_clicks.end()) {
                handler->second();
            }
            Controls.CheckRadio(name);
            return true;
        case ControlKind::Link:
            LinkClick(name);
            return true;
        default:
            break;
    }
    if (handler != m_clicks.end()) {
        handler->second();
    }
    return true;
}

bool TConfig::SetText(const std::string& name, const std::string& text) {
    Control& control = Controls[name];
    if (control.Kind != ControlKind::Edit || !control.Enabled ||
        m_result != DialogResult::Pending || m_handling) {
        return false;
    }
    const HandlingScope handling(m_handling);
    const bool changed = control.Text != text;
    control.Text = text;
    if (changed) {
        RunChange(name);
    }
    return true;
}

void TConfig::RunChange(const std::string& name) {
    const auto handler = m_changes.find(name);
    if (handler != m_changes.end()) {
        handler->second();
    }
}

bool TConfig::Choose(const std::string& name, int index) {
    Control& control = Controls[name];
    const bool isList =
        control.Kind == ControlKind::ComboBox || control.Kind == ControlKind::ListBox;
    if (!isList || !control.Enabled || m_result != DialogResult::Pending || m_handling ||
        index < 0 || index >= static_cast<int>(control.Items.size())) {
        return false;
    }
    MouseDown(name);
    const HandlingScope handling(m_handling);
    const bool changed = control.Index != index;
    control.Index = index;
    // A drop-down list reports only a real change; the filter list every choice.
    if (changed || control.Kind == ControlKind::ListBox) {
        RunChange(name);
    }
    return true;
}

void TConfig::MouseDown(const std::string& name) {
    if (name == "LstAcc" && Controls[name].Enabled && m_result == DialogResult::Pending &&
        !m_handling) {
        const HandlingScope handling(m_handling);
        m_accounts.LstAccMouseDown();
    }
}

void TConfig::OKClick() {
    // A mistyped pin would make every send fail; it is never taken, and the page shows it.
    if (!FingerprintAcceptable(Controls["SmtpFingerprint"].Text)) {
        m_context.Dialogs.ShowMessage(kBadFingerprint);
        if (!Controls["AdvPan"].Visible) {
            MnuClick(kSmtpPageTag);
        }
        m_context.Focused = "SmtpFingerprint";
        return;
    }
    // A span that does not read would silence nothing; it is refused where it was typed.
    const std::string quiet = settings::TrimBlanks(Controls["QuietHours"].Text);
    if (!quiet.empty() && !monitor::ParseQuietHours(quiet)) {
        m_context.Dialogs.ShowMessage(kBadQuietHours);
        if (!Controls["OptPan"].Visible) {
            MnuClick(kMainPageTag);
        }
        m_context.Focused = "QuietHours";
        return;
    }
    if (!KeepTypedAccount()) {
        return;
    }
    m_context.SaveFilters();
    m_skin.HidePreview();
    End(DialogResult::Ok);
}

bool TConfig::KeepTypedAccount() {
    if (!m_accounts.HoldsNewAccount()) {
        return true;
    }
    const std::string question = AddAccountQuestion(Controls["NAccount"].Text);
    switch (m_context.Dialogs.AskYesNoCancel(question)) {
        case platform::Answer::Yes: {
            const int before = m_context.Tables.AccountCount;
            // Refused as Add refuses it (a field missing, the table full): the message is
            // shown and the typing stays for the user to mend.
            m_accounts.AddAccClick();
            return m_context.Tables.AccountCount > before;
        }
        case platform::Answer::No:
            return true;
        case platform::Answer::Cancel:
            break;
    }
    return false;
}

void TConfig::CancelClick() {
    m_skin.RestoreSkin();
    End(DialogResult::Cancel);
}

void TConfig::ChkTrayClick() {
    Controls["ChkHide"].Enabled = Controls["ChkTray"].Checked;
    Controls["ChkHide"].Checked = false;
}

void TConfig::BrowseInto(const char* filter, const std::string& edit) {
    m_open.SetFilter(filter);
    const std::optional<std::string> file = m_open.Execute("", "");
    if (file) {
        Controls[edit].Text = *file;
    }
}

void TConfig::SndBrClick() {
    BrowseInto(kSoundFilter, "SndFile");
}

void TConfig::BrClientClick() {
    BrowseInto(kProgramFilter, "MailClient");
}

void TConfig::LinkClick(const std::string& name) {
    const Control& link = Controls[name];
    if (link.Link.empty()) {
        return;
    }
    // The addresses come from a downloaded skin or news server list: a mail link names one
    // recipient and nothing more, and nothing but a web page is opened as a web link.
    std::string target = link.Link;
    if (link.EmailLink) {
        const std::optional<std::string> mailto = platform::MailtoLink(link.Link);
        if (!mailto) {
            m_services.dialogs.ShowMessage(platform::NotAnAddressText(link.Link));
            return;
        }
        target = *mailto;
    } else if (!platform::IsWebAddress(link.Link)) {
        m_services.dialogs.ShowMessage(platform::NotAWebAddressText(link.Link));
        return;
    }
    m_services.shell.OpenDocument(target);
    // The dialog closes without OK; a skin applied already stays in use.
    End(DialogResult::Cancel);
}

}  // namespace config
