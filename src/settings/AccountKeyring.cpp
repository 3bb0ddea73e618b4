#include "settings/AccountKeyring.h"

#include "platform/Secrets.h"

namespace settings {

platform::NetworkPasswordKey KeyringKey(const AccountRecord& account) {
    // Items stored before IMAP accounts existed say "pop3", as POP3 accounts' items still do.
    const char* protocol = IsImap(account) ? "imap" : "pop3";
    return {account.user_name, account.host_name, protocol, account.port_number};
}

std::string KeyringLabel(const AccountRecord& account) {
    return "Vorla: " + account.user_name + "@" + account.host_name;
}

platform::SecretReply LoadKeyringPassword(AccountRecord& account, platform::SecretStore& store) {
    if (!account.password_in_keyring || !account.keyring_unread) {
        return {};
    }
    std::string password;
    const platform::SecretReply reply = store.Lookup(KeyringKey(account), password);
    if (reply.Ok()) {
        account.password = password;
        account.keyring_unread = false;
    }
    platform::SecureClear(password);
    return reply;
}

platform::SecretReply StoreInKeyring(AccountRecord& account, platform::SecretStore& store) {
    if (account.keyring_unread) {
        return {platform::SecretStatus::Unavailable, "the password is not known"};
    }
    const platform::NetworkPasswordKey key = KeyringKey(account);
    platform::SecretReply reply = store.Store(key, KeyringLabel(account), account.password);
    if (!reply.Ok()) {
        return reply;
    }
    std::string readBack;
    reply = store.Lookup(key, readBack);
    const bool same = reply.Ok() && readBack == account.password;
    platform::SecureClear(readBack);
    if (reply.Ok() && !same) {
        reply = {platform::SecretStatus::Unavailable, "the keyring gave back another password"};
    }
    if (reply.Ok()) {
        account.password_in_keyring = true;
    }
    return reply;
}

std::string KeyringErrorText(const platform::SecretReply& reply) {
    if (reply.Status == platform::SecretStatus::NotFound) {
        return "desktop keyring: no password stored for this account";
    }
    return "desktop keyring not available: " + reply.Error;
}

}  // namespace settings
