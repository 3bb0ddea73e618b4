#include "config/IdentityPage.h"

#include "config/ConfigTexts.h"

namespace config {

namespace {

std::string SignatureCaption(const std::string& signature) {
    return signature.empty() ? std::string(kNoSignature) : FileNameOf(signature);
}

}  // namespace

int IdentityPage::Chosen() const {
    const int index = m_context.Controls["MailLst"].Index;
    return index >= 0 && index < m_context.Tables.AccountCount ? index : -1;
}

void IdentityPage::ShowIdentity(const settings::AccountRecord& account) {
    DialogControls& c = m_context.Controls;
    c["SmtpUserName"].Text = account.auth_name;
    c["SmtpMail"].Text = account.auth_addr;
    c["ChkSign"].Checked = account.isign;
    c["BtnSign"].Text = SignatureCaption(account.auth_sign);
}

void IdentityPage::Show() {
    Control& list = m_context.Controls["MailLst"];
    list.Items.clear();
    for (int n = 0; n < m_context.Tables.AccountCount; ++n) {
        list.Items.push_back(m_context.Tables.AccountTable[n].acc_name);
    }
    ShowIdentity(m_context.Tables.AccountTable[0]);
    list.Index = list.Items.empty() ? -1 : 0;
}

void IdentityPage::MailLstChange() {
    const int chosen = Chosen();
    if (chosen >= 0) {
        ShowIdentity(m_context.Tables.AccountTable[chosen]);
    }
}

void IdentityPage::BtnApplyClick() {
    const int chosen = Chosen();
    if (chosen < 0) {
        return;
    }
    const DialogControls& c = m_context.Controls;
    settings::AccountRecord& account = m_context.Tables.AccountTable[chosen];
    account.auth_name = c["SmtpUserName"].Text;
    account.auth_addr = c["SmtpMail"].Text;
    account.isign = c["ChkSign"].Checked;
    m_context.SaveAccounts();
}

void IdentityPage::BtnSignClick() {
    const int chosen = Chosen();
    if (chosen < 0) {
        return;
    }
    settings::AccountRecord& account = m_context.Tables.AccountTable[chosen];
    m_open.SelectFilter(2);
    const std::optional<std::string> file = m_open.Execute(FolderOf(account.auth_sign), "");
    if (!file) {
        return;
    }
    account.auth_sign = *file;
    m_context.Controls["BtnSign"].Text = SignatureCaption(*file);
}

}  // namespace config
