#pragma once
// The account and filter tables shared by the main window, the message window and the
// configuration dialog. The main window owns one Tables; the others borrow it.
#include <array>
#include <string>

namespace settings {

inline constexpr int kMaxAccounts = 10;
inline constexpr int kMaxFilters = 15;

// LastCount before the first check of an account since start-up or the last disconnect.
inline constexpr int kNotCheckedYet = -2;
// LastCount after a failed check.
inline constexpr int kCheckFailed = -1;

inline constexpr int kDefaultPop3Port = 110;

// The value of an account's "password_store" when its password is in the desktop keyring.
inline constexpr const char* kKeyringStore = "keyring";

struct AccountRecord {
    std::string acc_name;   // display name, unique among accounts
    std::string host_name;  // POP3 server, host name or dotted address
    std::string user_name;  // POP3 login
    std::string password;   // plain in memory, scrambled on disk
    int port_number = kDefaultPop3Port;
    int LastCount = kNotCheckedYet;
    std::string LastError;  // why the last check failed (LastCount kCheckFailed); not stored
    bool inactive = false;          // skipped by every check
    std::string auth_name;          // reply identity: sender display name
    std::string auth_addr;          // reply identity: sender address
    std::string auth_sign;          // full path of the signature file
    bool isign = false;             // append the signature to replies
    std::string tls_mode = "auto";  // "auto", "tls", "starttls" or "off"
    std::string tls_fingerprint;    // pinned SHA-256 of the certificate; empty: system store
    std::string oauth_command;      // prints an XOAUTH2 token; empty: USER and PASS
    // The mailbox kind and, for IMAP, the folder watched and what is counted in it. A file
    // without these keys holds POP3 accounts, and is written back without them.
    std::string protocol = "pop3";      // "pop3" or "imap"
    std::string folder = "INBOX";       // UTF-8
    std::string imap_count = "unseen";  // "unseen" (no \Seen flag) or "all"
    // "password_store = keyring": the password lives in the desktop keyring, not in the file.
    bool password_in_keyring = false;
    // Kept in the keyring and not read from it yet: password is not the account's password.
    bool keyring_unread = false;
    std::string sound;  // the new-mail sound of this account; empty: wavsnd
};

// A security choice as stored: "tls", "starttls" or "off" in any letter case, lower-cased;
// any other text (the marker "empty" included) is "auto".
std::string TlsModeText(const std::string& value);

// The mailbox keys as stored: "imap" or "all" in any letter case, lower-cased; anything else is
// the default ("pop3", "unseen"). An empty folder is INBOX.
std::string ProtocolText(const std::string& value);
std::string ImapCountText(const std::string& value);
std::string FolderText(const std::string& value);
// The account is served over IMAP: its protocol reads as "imap" in any letter case.
bool IsImap(const AccountRecord& account);
// Whether any of the mailbox keys differs from its default.
bool HasMailboxKeys(const AccountRecord& account);

using AccountSlots = std::array<AccountRecord, kMaxAccounts>;
using FilterSlots = std::array<std::string, kMaxFilters>;

// Slots 0 .. AccountCount-1 are in use, in table order; an account's number (in the file, the
// menus and CurrentAccount) is its slot index + 1. The same holds for the filters.
struct Tables {
    AccountSlots AccountTable{};
    int AccountCount = 0;
    FilterSlots FilterTable{};
    int FilterCount = 0;
};

// Empties every account slot (texts cleared, flags false, LastCount not checked yet) and
// every filter slot, and sets both counts to 0.
void ClearTables(Tables& tables);

}  // namespace settings
