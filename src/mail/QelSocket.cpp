#include "mail/QelSocket.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "mail/qel_util.h"
#include "platform/LocalHost.h"

namespace mail {

namespace {

std::string FormatSocketError(int code, const std::string& api, const std::string& reason) {
    return "Erreur socket Windows : " + reason + " (" + std::to_string(code) + "), avec l'API '" +
           api + "'";
}

}  // namespace

SocketError::SocketError(int code, const std::string& api, const std::string& reason)
    : MailError(FormatSocketError(code, api, reason)), Code(code), Api(api), Reason(reason) {}

TQelSocket::TQelSocket(TransportFactory& factory, platform::EventPump& pump, Clock& clock)
    : m_factory(factory), m_pump(pump), m_clock(clock) {}

TQelSocket::~TQelSocket() {
    if (m_transport)
        m_transport->Close();
}

void TQelSocket::Fire(const TSocketNotifyEvent& event) {
    if (event)
        event(this, *this);
}

bool TQelSocket::TimedOut(std::int64_t start) const {
    const std::int64_t now = m_clock.NowMs();
    return now - start >= static_cast<std::int64_t>(TimeOut) || now >= Deadline;
}

void TQelSocket::PumpOrAbort(const char* api) {
    m_pump.ProcessMessages();
    if (AbortQuery && AbortQuery())
        throw TransportError(ECANCELED, api, std::string(api) + ": " + std::strerror(ECANCELED));
}

// The server's name as the certificate must carry it.
void TQelSocket::Handshake(const std::string& pin) {
    m_transport =
        m_factory.WrapTls(std::move(m_transport), m_host.empty() ? m_address : m_host, pin);
    const std::int64_t start = m_clock.NowMs();
    while (!m_transport->Handshake(kSliceMs)) {
        if (TimedOut(start))
            throw TransportError(ETIMEDOUT, "tls",
                                 "The server did not complete the TLS handshake in time.");
        PumpOrAbort("tls");
    }
    m_secure = true;
}

void TQelSocket::StartTls(const std::string& pin) {
    if (!m_connected)
        throw SocketError(ENOTCONN, "tls", std::strerror(ENOTCONN));
    try {
        Handshake(pin);
    } catch (const TransportError& e) {
        m_lastError = e.what();
        Close();
        throw SocketError(e.Code, e.Api, e.Api == "tls" ? e.what() : std::strerror(e.Code));
    }
}

void TQelSocket::Open() {
    if (m_connected)
        Close();
    m_secure = false;
    m_transport = m_factory.Create();
    try {
        Fire(OnLookup);
        m_transport->BeginResolve(m_host, m_address, m_port);
        const std::int64_t lookupStart = m_clock.NowMs();
        while (!m_transport->FinishResolve(kSliceMs)) {
            if (TimedOut(lookupStart))
                throw TransportError(ETIMEDOUT, "getaddrinfo",
                                     "getaddrinfo: no answer for " + m_host + " in time");
            PumpOrAbort("getaddrinfo");
        }
        Fire(OnConnecting);
        m_transport->BeginConnect();
        const std::int64_t start = m_clock.NowMs();
        while (!m_transport->FinishConnect(kSliceMs)) {
            if (TimedOut(start))
                throw TransportError(ETIMEDOUT, "connect", std::strerror(ETIMEDOUT));
            PumpOrAbort("connect");
        }
        if (m_implicitTls)
            Handshake(m_pin);
    } catch (const TransportError& e) {
        if (m_transport)
            m_transport->Close();
        m_transport.reset();
        m_secure = false;
        Fire(OnDisconnect);
        const std::string reason = e.Api == "getaddrinfo" || e.Api == "tls" ? std::string(e.what())
                                                                            : std::strerror(e.Code);
        throw SocketError(e.Code, e.Api, reason);
    }
    m_connected = true;
    Fire(OnConnect);
}

void TQelSocket::Close() {
    if (!m_connected)
        return;
    m_connected = false;
    m_secure = false;
    if (m_transport) {
        m_transport->Close();
        m_transport.reset();
    }
    Fire(OnDisconnect);
}

void TQelSocket::Fail(int code, const std::string& api) {
    SocketError error(code, api, std::strerror(code));
    m_lastError = error.what();
    m_unreadAtSendFailure.clear();
    if (api == "send" && m_transport) {
        // Only what has already arrived: a zero slice never waits.
        char buffer[kReceiveSize];
        try {
            const long n = m_transport->Receive(buffer, sizeof buffer, 0);
            if (n > 0)
                m_unreadAtSendFailure.assign(buffer, static_cast<std::size_t>(n));
        } catch (const TransportError&) {
            // Nothing readable is left: the send failure is all there is to say.
        }
    }
    int handled = code;
    if (OnErrorEvent)
        OnErrorEvent(*this, handled);
    Close();
    if (handled != 0)
        throw error;
}

std::size_t TQelSocket::SendBuf(std::string_view text) {
    if (!m_connected)
        return 0;
    std::size_t sent = 0;
    const std::int64_t start = m_clock.NowMs();
    try {
        while (sent < text.size()) {
            long n = m_transport->Send(text.substr(sent), kSliceMs);
            if (n > 0) {
                sent += static_cast<std::size_t>(n);
                continue;
            }
            if (TimedOut(start))
                throw TransportError(ETIMEDOUT, "send", std::strerror(ETIMEDOUT));
            PumpOrAbort("send");
            if (!m_connected)  // a handler closed the socket while we waited
                return sent;
        }
    } catch (const TransportError& e) {
        Fail(e.Code, "send");
        return 0;
    }
    return sent;
}

std::size_t TQelSocket::ReceiveBuf(char* buffer, std::size_t capacity, std::int64_t deadline) {
    return ReceiveWithin(buffer, capacity, std::min(deadline, Deadline), kNoDeadline, true);
}

std::size_t TQelSocket::ReceiveQuietUntil(char* buffer, std::size_t capacity, std::int64_t until) {
    return ReceiveWithin(buffer, capacity, Deadline, until, false);
}

std::size_t TQelSocket::ReceiveWithin(char* buffer, std::size_t capacity, std::int64_t deadline,
                                      std::int64_t quietAt, bool idleFails) {
    if (!m_connected)
        return 0;
    const std::int64_t start = m_clock.NowMs();
    try {
        for (;;) {
            if (m_clock.NowMs() >= deadline)
                throw TransportError(ETIMEDOUT, "recv", std::strerror(ETIMEDOUT));
            if (m_clock.NowMs() >= quietAt)
                return kQuiet;
            long n = m_transport->Receive(buffer, capacity, kSliceMs);
            if (n >= 0)
                return static_cast<std::size_t>(n);
            if (idleFails && TimedOut(start))
                throw TransportError(ETIMEDOUT, "recv", std::strerror(ETIMEDOUT));
            PumpOrAbort("recv");
            if (!m_connected)
                return 0;
        }
    } catch (const TransportError& e) {
        Fail(e.Code, "recv");
        return 0;
    }
}

std::string TQelSocket::LocalHost() const {
    return platform::LocalHostName();
}

std::uint16_t PercentOf(std::int64_t done, std::int64_t total) {
    if (total <= 0 || done <= 0)
        return 0;
    const long double exact =
        static_cast<long double>(done) * 100.0L / static_cast<long double>(total);
    if (exact >= 65535.0L)
        return 65535;
    return static_cast<std::uint16_t>(std::nearbyint(exact));  // default rounding: ties to even
}

void TProgressStepper::Start(std::uint16_t step) {
    m_step = step;
    m_last = 0;
    m_next = step;
}

void TProgressStepper::Update(std::uint16_t percent,
                              const std::function<void(std::uint16_t)>& report) {
    m_last = percent;
    if (percent >= m_next) {
        if (report)
            report(percent);
        m_next += m_step;
    }
}

void TProgressStepper::Finish(const std::function<void(std::uint16_t)>& report) {
    if (m_last < 100 && report)
        report(100);
}

std::uint16_t PortOrDefault(const std::string& text, std::uint16_t fallback) {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > 5)
        return fallback;
    unsigned value = 0;
    for (char c : t) {
        if (c < '0' || c > '9')
            return fallback;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value > 65535 ? fallback : static_cast<std::uint16_t>(value);
}

void AimSocket(TQelSocket& socket, const std::string& host, std::uint16_t port) {
    socket.SetPort(port);
    if (IsIPAddress(host)) {
        socket.SetAddress(host);
        socket.SetHost("");
    } else {
        socket.SetHost(host);
        socket.SetAddress("");
    }
}

std::string OneLine(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

}  // namespace mail
