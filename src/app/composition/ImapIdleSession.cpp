#include "app/composition/ImapIdleSession.h"

#include "app/composition/ComponentAdapters.h"

namespace app {

ImapIdleSession::ImapIdleSession(WatchedAccount account, const StopSignal& stop)
    : m_account(std::move(account)),
      m_pump([&stop] { return stop.Stopped(); }),
      m_client(m_transports, m_pump) {
    m_pump.Watch(m_client);
    m_client.Host = m_account.host;
    m_client.Port = m_account.port;
    m_client.TimeOut = m_account.timeOutMs;
    SetClientSecurity(m_client, m_account.tlsMode, m_account.fingerprint, m_account.oauthCommand);
}

IdleSession::Opened ImapIdleSession::Open() {
    try {
        m_client.Connect();
        if (!m_client.Connected || !m_client.Login(m_account.user, m_account.password)) {
            return Opened::Failed;
        }
        if (!m_client.Offers("IDLE")) {
            return Opened::NoIdle;
        }
        if (!m_client.Examine(m_account.folder)) {
            return Opened::Failed;
        }
    } catch (const mail::MailError&) {
        return Opened::Failed;
    }
    m_grownWhileAway = m_openedBefore && m_client.Exists > m_known;
    m_openedBefore = true;
    m_known = m_client.Exists;
    return Opened::Idling;
}

bool ImapIdleSession::Idle(std::uint32_t ms, const std::function<void()>& onGrown) {
    if (m_grownWhileAway) {
        m_grownWhileAway = false;
        onGrown();
    }
    try {
        return m_client.Idle(ms, [this, &onGrown](std::uint32_t exists) {
            // An expunge lowers the count; only a rise is news.
            if (exists > m_known) {
                onGrown();
            }
            m_known = exists;
            return false;
        });
    } catch (const mail::MailError&) {
        return false;
    }
}

void ImapIdleSession::Close() {
    try {
        m_client.Logout();
    } catch (const mail::MailError&) {
        // Not connected any more: there is nothing left to end.
    }
}

}  // namespace app
