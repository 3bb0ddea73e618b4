#pragma once
// The reply identities on the "Outgoing Mails (SMTP)" page: each account's sender name,
// address and signature file.
#include "config/DialogContext.h"
#include "config/OpenDialog.h"

namespace config {

class IdentityPage {
public:
    IdentityPage(DialogContext& context, SharedOpenDialog& open)
        : m_context(context), m_open(open) {}

    // The page is opened: the account list is filled, the first account's identity shown.
    void Show();
    void MailLstChange();
    // Stores the shown identity into the chosen account and writes "Accounts.ini".
    void BtnApplyClick();
    // Lets the user choose the chosen account's signature file; it is kept in memory at once.
    void BtnSignClick();

private:
    // The chosen account's slot, or -1 when none is chosen.
    int Chosen() const;
    void ShowIdentity(const settings::AccountRecord& account);

    DialogContext& m_context;
    SharedOpenDialog& m_open;
};

}  // namespace config
