#include "settings/Tables.h"

#include "settings/LineReader.h"

namespace settings {

void ClearTables(Tables& tables) {
    tables = Tables{};
}

std::string TlsModeText(const std::string& value) {
    for (const char* mode : {"tls", "starttls", "off"}) {
        if (EqualsIgnoringCase(value, mode)) {
            return mode;
        }
    }
    return "auto";
}

std::string ProtocolText(const std::string& value) {
    return EqualsIgnoringCase(value, "imap") ? "imap" : "pop3";
}

std::string ImapCountText(const std::string& value) {
    return EqualsIgnoringCase(value, "all") ? "all" : "unseen";
}

std::string FolderText(const std::string& value) {
    return value.empty() ? "INBOX" : value;
}

bool IsImap(const AccountRecord& account) {
    return ProtocolText(account.protocol) == "imap";
}

bool HasMailboxKeys(const AccountRecord& account) {
    const AccountRecord defaults;
    return account.protocol != defaults.protocol || account.folder != defaults.folder ||
           account.imap_count != defaults.imap_count;
}

}  // namespace settings
