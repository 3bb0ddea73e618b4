#pragma once
// The "Incoming Mails (POP3)" page: adds, changes, removes, activates and deactivates the POP3
// and IMAP accounts. Every change goes into the account table and "Accounts.ini" at once.
#include "config/DialogContext.h"
#include "config/KeyringMoves.h"

namespace config {

class AccountEditor {
public:
    AccountEditor(DialogContext& context, KeyringMoves& keyring)
        : m_context(context), m_keyring(keyring) {}

    // Fills the fields from the selected account, or empties them for an empty list.
    void LstAccSel();
    // A press on the list: with exactly one entry, choosing it raises no change, so it is
    // shown here.
    void LstAccMouseDown();
    void AddAccClick();
    void ModifyClick();
    void DelAccClick();
    void ChkActClick();
    void ChkInactClick();
    // A port of 995 typed into a new account whose security is still "Auto" chooses "TLS", the
    // only way that port is served; typing another port takes that choice back.
    void PortTxtChange();
    // The user chose a security: a choice made for the port no longer applies.
    void TlsModeChange();
    // POP3 or IMAP chosen: the folder field opens for IMAP, and the other protocol's usual
    // port (or none) becomes this one's.
    void ProtocolBoxChange();
    // The fields hold a name and a host, and no account has that name: an account typed but
    // not added.
    bool HoldsNewAccount() const;
    // The list gets the account names in table order (the selection is kept), the fields are
    // emptied and the port reads "110".
    void RefillAccounts();

private:
    // The selected account's slot, or -1 when no account is selected.
    int Selected() const;
    // The name is in use by an account other than the one at slot skip.
    bool NameTaken(const std::string& name, int skip) const;
    // Shows the messages of the duplicate and required-field tests; true when both passed.
    bool FieldsAcceptable(int skip);
    void StoreFields(settings::AccountRecord& account) const;
    // Empties the fields of an account for a new one: POP3, port "110", security "Auto",
    // folder "INBOX".
    void EmptyFields();
    void SetInactive(bool inactive);

    DialogContext& m_context;
    KeyringMoves& m_keyring;
    // "TLS" was chosen by PortTxtChange, not by the user.
    bool m_tlsForPort = false;
};

}  // namespace config
