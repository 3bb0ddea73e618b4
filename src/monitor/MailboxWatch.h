#pragma once
// Push: while on line, the servers that can tell of new mail as it arrives are listened to, so
// that an account is checked when its server reports news rather than at its turn. The program
// watches IMAP folders in IDLE; a program without push gives NoMailboxWatch.
#include <functional>

#include "settings/Tables.h"

namespace monitor {

class MailboxWatch {
public:
    virtual ~MailboxWatch() = default;
    // Watches the active accounts of the table whose servers can report news and whose
    // password is known; a running watch is ended first. The table is read now.
    virtual void Start(const settings::Tables& accounts) = 0;
    // Ends every watch at once; no report arrives after it returns.
    virtual void Stop() = 0;

    // On the window thread: the server of the 1-based account reports new mail.
    std::function<void(int account)> OnNewMail;
};

class NoMailboxWatch final : public MailboxWatch {
public:
    void Start(const settings::Tables&) override {}
    void Stop() override {}
};

}  // namespace monitor
