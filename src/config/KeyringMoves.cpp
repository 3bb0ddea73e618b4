#include "config/KeyringMoves.h"

#include <vector>

#include "settings/AccountKeyring.h"

namespace config {

platform::SecretReply KeyringMoves::Unreachable() const {
    return {platform::SecretStatus::Unavailable, "this program has no keyring"};
}

bool KeyringMoves::Load(settings::AccountRecord& account) {
    if (!account.keyring_unread) {
        return true;
    }
    return m_store && settings::LoadKeyringPassword(account, *m_store).Ok();
}

void KeyringMoves::Place(settings::AccountRecord& account) {
    if (!m_context.Controls["ChkKeyring"].Checked) {
        return;
    }
    const platform::SecretReply reply =
        m_store ? settings::StoreInKeyring(account, *m_store) : Unreachable();
    if (!reply.Ok()) {
        m_context.Dialogs.ShowMessage(kKeyringNotAvailable);
    }
}

bool KeyringMoves::ItemInUse(const platform::NetworkPasswordKey& key) const {
    for (int n = 0; n < m_context.Tables.AccountCount; ++n) {
        const settings::AccountRecord& account = m_context.Tables.AccountTable[n];
        if (account.password_in_keyring && settings::KeyringKey(account) == key) {
            return true;
        }
    }
    return false;
}

void KeyringMoves::Forget(const settings::AccountRecord& before) {
    if (before.password_in_keyring) {
        ForgetItem(settings::KeyringKey(before));
    }
}

void KeyringMoves::ForgetItem(const platform::NetworkPasswordKey& key) {
    if (ItemInUse(key)) {
        return;
    }
    const platform::SecretReply reply = m_store ? m_store->Remove(key) : Unreachable();
    // An item already gone is what was wanted.
    if (reply.Status == platform::SecretStatus::Unavailable) {
        m_context.Dialogs.ShowMessage(kKeyringKeepsPassword);
    }
}

void KeyringMoves::MoveAll(bool useKeyring) {
    if (useKeyring) {
        MoveIn();
    } else {
        MoveOut();
    }
}

void KeyringMoves::MoveIn() {
    bool moved = false;
    bool failed = false;
    for (int n = 0; n < m_context.Tables.AccountCount; ++n) {
        settings::AccountRecord& account = m_context.Tables.AccountTable[n];
        if (account.password_in_keyring) {
            continue;
        }
        const platform::SecretReply reply =
            m_store ? settings::StoreInKeyring(account, *m_store) : Unreachable();
        moved = moved || reply.Ok();
        failed = failed || !reply.Ok();
    }
    if (moved) {
        m_context.SaveAccounts();
    }
    if (failed) {
        m_context.Dialogs.ShowMessage(kKeyringNotAvailable);
    }
}

void KeyringMoves::MoveOut() {
    std::vector<platform::NetworkPasswordKey> items;
    bool failed = false;
    for (int n = 0; n < m_context.Tables.AccountCount; ++n) {
        settings::AccountRecord& account = m_context.Tables.AccountTable[n];
        if (!account.password_in_keyring) {
            continue;
        }
        if (Load(account)) {
            account.password_in_keyring = false;
            items.push_back(settings::KeyringKey(account));
        } else {
            failed = true;
        }
    }
    if (failed) {
        m_context.Dialogs.ShowMessage(kKeyringKeepsPassword);
    }
    // The items go only once the file holds their passwords again.
    if (items.empty() || !m_context.SaveAccounts()) {
        return;
    }
    for (const platform::NetworkPasswordKey& key : items) {
        ForgetItem(key);
    }
}

}  // namespace config
