#pragma once
// The push connection of one IMAP account: its own client, transports and event pump, for a
// worker thread. Nothing here touches the window thread; the stop signal, set from there, ends
// every wait of the client within one of its slices.
#include <cstdint>
#include <string>

#include "app/composition/IdleLoop.h"
#include "mail/PosixTransport.h"
#include "mail/QelIMAP.h"
#include "mail/StopPump.h"

namespace app {

// What a push connection needs of an account, copied on the window thread.
struct WatchedAccount {
    int number = 0;
    std::string host;
    std::string port;
    std::string user;
    std::string password;
    std::string folder;
    std::string tlsMode;
    std::string fingerprint;
    std::string oauthCommand;
    std::uint32_t timeOutMs = 60000;
};

// A failure of this connection (refused login, drop, time-out) is the loop's to handle with a
// pause and a new try; the account's checks report its faults to the user.
class ImapIdleSession final : public IdleSession {
public:
    // stop must outlive the session.
    ImapIdleSession(WatchedAccount account, const StopSignal& stop);

    Opened Open() override;
    bool Idle(std::uint32_t ms, const std::function<void()>& onGrown) override;
    void Close() override;

private:
    WatchedAccount m_account;
    mail::PosixTransportFactory m_transports;
    mail::StopPump m_pump;
    mail::TQelIMAP m_client;
    // The folder's message count as last known, kept across connections.
    std::uint32_t m_known = 0;
    bool m_openedBefore = false;
    // Mail that arrived while the connection was down, told at the next Idle.
    bool m_grownWhileAway = false;
};

}  // namespace app
