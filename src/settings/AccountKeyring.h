#pragma once
// An account's password in the desktop keyring: the item that holds it, reading it into the
// account, and moving it from the file into the keyring without ever losing it.
#include <string>

#include "platform/SecretStore.h"
#include "settings/Tables.h"

namespace settings {

// The account's item: user, server = host, protocol "pop3" or "imap" as the account's, port.
platform::NetworkPasswordKey KeyringKey(const AccountRecord& account);
// "Vorla: " + user + "@" + host.
std::string KeyringLabel(const AccountRecord& account);

// Makes the password of an account kept in the keyring known, reading it once; Ok at once for
// an account whose password is known already.
platform::SecretReply LoadKeyringPassword(AccountRecord& account, platform::SecretStore& store);

// Stores the account's known password under its item, reads it back and compares; only then is
// the account kept in the keyring (written without its password by the next SaveAccounts).
// Otherwise the account is left as it was.
platform::SecretReply StoreInKeyring(AccountRecord& account, platform::SecretStore& store);

// What the status line says when the keyring could not give an account's password.
std::string KeyringErrorText(const platform::SecretReply& reply);

}  // namespace settings
