#include "config/AccountEditor.h"

#include <algorithm>

#include "config/ConfigTexts.h"
#include "config/ProtocolFields.h"
#include "config/SecurityFields.h"
#include "settings/LineReader.h"

namespace config {

namespace {

constexpr const char* kAccountFields[] = {"NAccount",       "HostTxt",      "UserName", "Password",
                                          "TlsFingerprint", "OAuthCommand", "AccSound"};
constexpr const char* kDefaultPortText = "110";
constexpr const char* kTlsPortText = "995";

}  // namespace

int AccountEditor::Selected() const {
    const Control& list = m_context.Controls["LstAcc"];
    const int index = list.Index;
    if (index < 0 || index >= m_context.Tables.AccountCount ||
        index >= static_cast<int>(list.Items.size())) {
        return -1;
    }
    return index;
}

void AccountEditor::EmptyFields() {
    DialogControls& c = m_context.Controls;
    for (const char* field : kAccountFields) {
        c[field].Text.clear();
    }
    c["PortTxt"].Text = kDefaultPortText;
    c["TlsMode"].Index = SecurityIndex("auto");
    ShowProtocol(c, "pop3");
    c["FolderTxt"].Text = settings::FolderText("");
    m_tlsForPort = false;
}

void AccountEditor::LstAccSel() {
    DialogControls& c = m_context.Controls;
    const int selected = Selected();
    if (selected < 0) {
        EmptyFields();
        return;
    }
    settings::AccountRecord& account = m_context.Tables.AccountTable[selected];
    // A keyring that cannot be reached shows an empty password.
    m_keyring.Load(account);
    c["NAccount"].Text = account.acc_name;
    c["HostTxt"].Text = account.host_name;
    c["UserName"].Text = account.user_name;
    c["Password"].Text = account.password;
    c["PortTxt"].Text = std::to_string(account.port_number);
    c["TlsMode"].Index = SecurityIndex(account.tls_mode);
    c["TlsFingerprint"].Text = account.tls_fingerprint;
    c["OAuthCommand"].Text = account.oauth_command;
    c["AccSound"].Text = account.sound;
    ShowProtocol(c, account.protocol);
    c["FolderTxt"].Text = account.folder;
    m_tlsForPort = false;
    c.CheckRadio(account.inactive ? "ChkInact" : "ChkAct");
}

void AccountEditor::PortTxtChange() {
    DialogControls& c = m_context.Controls;
    Control& security = c["TlsMode"];
    const bool tlsPort = settings::TrimBlanks(c["PortTxt"].Text) == kTlsPortText;
    const int autoIndex = SecurityIndex("auto");
    if (tlsPort && security.Index == autoIndex && !NameTaken(c["NAccount"].Text, -1)) {
        security.Index = SecurityIndex("tls");
        m_tlsForPort = true;
    } else if (!tlsPort && m_tlsForPort) {
        security.Index = autoIndex;
        m_tlsForPort = false;
    }
}

void AccountEditor::TlsModeChange() {
    m_tlsForPort = false;
}

void AccountEditor::ProtocolBoxChange() {
    DialogControls& c = m_context.Controls;
    const std::string protocol = ProtocolWord(c["ProtocolBox"]);
    ShowProtocol(c, protocol);
    c["PortTxt"].Text = PortForProtocol(protocol, c["PortTxt"].Text);
}

void AccountEditor::LstAccMouseDown() {
    if (m_context.Controls["LstAcc"].Items.size() == 1) {
        LstAccSel();
    }
}

void AccountEditor::RefillAccounts() {
    DialogControls& c = m_context.Controls;
    Control& list = c["LstAcc"];
    list.Items.clear();
    for (int n = 0; n < m_context.Tables.AccountCount; ++n) {
        list.Items.push_back(m_context.Tables.AccountTable[n].acc_name);
    }
    EmptyFields();
}

bool AccountEditor::NameTaken(const std::string& name, int skip) const {
    if (name.empty()) {
        return false;
    }
    for (int n = 0; n < m_context.Tables.AccountCount; ++n) {
        if (n != skip && m_context.Tables.AccountTable[n].acc_name == name) {
            return true;
        }
    }
    return false;
}

bool AccountEditor::HoldsNewAccount() const {
    const DialogControls& c = m_context.Controls;
    return !c["NAccount"].Text.empty() && !c["HostTxt"].Text.empty() &&
           !NameTaken(c["NAccount"].Text, -1);
}

bool AccountEditor::FieldsAcceptable(int skip) {
    const DialogControls& c = m_context.Controls;
    bool acceptable = true;
    if (NameTaken(c["NAccount"].Text, skip)) {
        m_context.Dialogs.ShowMessage(kAccountExists);
        acceptable = false;
    }
    if (c["NAccount"].Text.empty() || c["UserName"].Text.empty() || c["HostTxt"].Text.empty()) {
        m_context.Dialogs.ShowMessage(kFillAllFields);
        acceptable = false;
    }
    if (!FingerprintAcceptable(c["TlsFingerprint"].Text)) {
        m_context.Dialogs.ShowMessage(kBadFingerprint);
        acceptable = false;
    }
    return acceptable;
}

void AccountEditor::StoreFields(settings::AccountRecord& account) const {
    const DialogControls& c = m_context.Controls;
    account.acc_name = c["NAccount"].Text;
    account.host_name = c["HostTxt"].Text;
    account.user_name = c["UserName"].Text;
    account.password = c["Password"].Text;
    // The typed password is in the file until the keyring takes it.
    account.password_in_keyring = false;
    account.keyring_unread = false;
    account.port_number = PortOr(c["PortTxt"].Text, settings::kDefaultPop3Port);
    account.tls_mode = SecurityMode(c["TlsMode"]);
    account.tls_fingerprint = settings::TrimBlanks(c["TlsFingerprint"].Text);
    account.oauth_command = settings::TrimBlanks(c["OAuthCommand"].Text);
    account.sound = settings::TrimBlanks(c["AccSound"].Text);
    // The count kept in the file (unseen or all) has no field and stays as it is.
    account.protocol = ProtocolWord(c["ProtocolBox"]);
    account.folder = settings::FolderText(settings::TrimBlanks(c["FolderTxt"].Text));
}

void AccountEditor::AddAccClick() {
    if (!FieldsAcceptable(-1)) {
        return;
    }
    settings::Tables& tables = m_context.Tables;
    if (tables.AccountCount >= settings::kMaxAccounts) {
        m_context.Dialogs.ShowMessage(kAccountsFull);
        return;
    }
    settings::AccountRecord account;
    StoreFields(account);
    m_keyring.Place(account);
    tables.AccountTable[tables.AccountCount++] = account;
    RefillAccounts();
    m_context.Controls["LstAcc"].Index = tables.AccountCount - 1;
    m_context.SaveAccounts();
    m_context.Focused = "NAccount";
}

void AccountEditor::ModifyClick() {
    const int selected = Selected();
    if (selected < 0 || !FieldsAcceptable(selected)) {
        return;
    }
    settings::AccountRecord& account = m_context.Tables.AccountTable[selected];
    // An empty field stands for the password the unreachable keyring holds: storing it would
    // lose that password.
    if (!m_keyring.Load(account) && m_context.Controls["Password"].Text.empty()) {
        m_context.Dialogs.ShowMessage(kKeyringAccountUnchanged);
        return;
    }
    const settings::AccountRecord before = account;
    StoreFields(account);
    m_keyring.Place(account);
    account.inactive = m_context.Controls["ChkInact"].Checked;
    m_context.Controls["ChkAct"].Checked = !account.inactive;
    RefillAccounts();
    // A new host, login or port moves the item; a password back in the file drops it.
    if (m_context.SaveAccounts()) {
        m_keyring.Forget(before);
    }
}

void AccountEditor::DelAccClick() {
    const int selected = Selected();
    if (selected < 0) {
        return;
    }
    settings::Tables& tables = m_context.Tables;
    auto& slots = tables.AccountTable;
    const settings::AccountRecord removed = slots[static_cast<std::size_t>(selected)];
    std::move(slots.begin() + selected + 1, slots.begin() + tables.AccountCount,
              slots.begin() + selected);
    --tables.AccountCount;
    slots[static_cast<std::size_t>(tables.AccountCount)] = settings::AccountRecord{};
    RefillAccounts();
    if (m_context.SaveAccounts()) {
        m_keyring.Forget(removed);
    }
    Control& list = m_context.Controls["LstAcc"];
    if (selected == settings::kMaxAccounts - 1) {
        // The tenth place has no entry in the refilled list: nothing is shown as selected.
        list.Index = -1;
        return;
    }
    list.Index = static_cast<int>(list.Items.size()) - 1;
    LstAccSel();
}

void AccountEditor::SetInactive(bool inactive) {
    const int selected = Selected();
    if (selected < 0) {
        return;
    }
    m_context.Tables.AccountTable[selected].inactive = inactive;
    m_context.SaveAccounts();
}

void AccountEditor::ChkActClick() {
    SetInactive(false);
}

void AccountEditor::ChkInactClick() {
    SetInactive(true);
}

}  // namespace config
