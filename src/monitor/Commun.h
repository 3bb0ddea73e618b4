#pragma once
// The state the main window, the message window and the configuration dialog share: the
// settings in memory, the account and filter tables and the connection's state. The program
// owns one Commun; each window borrows it, so a change made in one is what the others see.
#include <functional>
#include <string>

#include "monitor/Services.h"
#include "platform/SecretStore.h"
#include "settings/Config.h"
#include "settings/Tables.h"

namespace monitor {

// CurrentAccount before the first check after connecting.
inline constexpr int kNoAccountYet = 99;

class Commun {
public:
    settings::Config Config;
    settings::Tables Tables;
    bool IsConnected = false;
    int CurrentAccount = kNoAccountYet;       // 1-based account checked last
    int WaitingCount = 0;                     // messages of CurrentAccount as last counted
    bool NotepadMode = false;                 // the message window has no mailbox session
    std::string StatusText = "Disconnected";  // what the status line shows between events
    // 1-based account whose server the POP3 client points at: its name goes into the error
    // texts, its credentials with each login (the check's and the message window's).
    int PopAccount = kNoAccountYet;
    // Where the passwords of accounts kept in the desktop keyring are read; null: nowhere.
    platform::SecretStore* Secrets = nullptr;

    // A 1-based account number inside the table.
    bool IsAccount(int number) const { return number >= 1 && number <= Tables.AccountCount; }
    settings::AccountRecord& Account(int number) { return Tables.AccountTable[number - 1]; }

    // The last POP3 or dial-up error; empty when there is none.
    const std::string& ErrorNotice() const { return m_errorNotice; }
    // Records the notice; a non-empty one is also told to OnErrorNotice.
    void SetErrorNotice(const std::string& text);
    // The message window has dealt with the notice (it reported it in its memo).
    void ClearErrorNotice() { m_errorNotice.clear(); }

    std::function<void(const std::string&)> OnErrorNotice;

private:
    std::string m_errorNotice;
};

// Logs the client in as commun's PopAccount (with no credentials before the first check), the
// password handed over for this call only; PopClient::Login's result.
bool LoginAsPopAccount(PopClient& pop, Commun& commun);

}  // namespace monitor
