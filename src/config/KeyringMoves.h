#pragma once
// The dialog's side of the desktop keyring: the password of an account added or changed goes
// into the keyring while "Keep passwords in the desktop keyring" is checked, a removed account's
// item goes away, and OK moves every password in or out as the box says. A password is never
// lost: it leaves the file only once the keyring gives it back, and it leaves the keyring only
// once the file that holds it again is written.
#include "config/DialogContext.h"
#include "platform/SecretStore.h"

namespace config {

// Shown when a password leaves the file but the keyring is not there to take it.
inline constexpr const char* kKeyringNotAvailable =
    "The desktop keyring is not available; the password stays in Accounts.ini.";
// Shown when a password should leave the keyring but the keyring is not there to give it.
inline constexpr const char* kKeyringKeepsPassword =
    "The desktop keyring is not available; the password stays in the desktop keyring.";
// Modify of an account whose password is in an unreachable keyring, with no password typed.
inline constexpr const char* kKeyringAccountUnchanged =
    "The desktop keyring is not available; type the password again to change this account.";

class KeyringMoves {
public:
    // store may be null: a program without a keyring, which then is never reachable.
    KeyringMoves(DialogContext& context, platform::SecretStore* store)
        : m_context(context), m_store(store) {}

    // The account's password read from the keyring, when it is kept there and not read yet;
    // false when it is still not known.
    bool Load(settings::AccountRecord& account);
    // An account whose fields were just stored, its password in the file: into the keyring
    // when the box is checked; the message is shown when the keyring cannot take it.
    void Place(settings::AccountRecord& account);
    // After "Accounts.ini" no longer needs it: the item of the account as it was before a
    // change or a removal, unless the account kept in the table still uses the same item.
    void Forget(const settings::AccountRecord& before);
    // OK: every password moved to where useKeyring says, "Accounts.ini" written.
    void MoveAll(bool useKeyring);

private:
    platform::SecretReply Unreachable() const;
    // Another account kept in the keyring uses the item of key.
    bool ItemInUse(const platform::NetworkPasswordKey& key) const;
    void ForgetItem(const platform::NetworkPasswordKey& key);
    void MoveIn();
    void MoveOut();

    DialogContext& m_context;
    platform::SecretStore* m_store;
};

}  // namespace config
