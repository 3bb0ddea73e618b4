#pragma once
// The client socket that both mail clients own, and what they share on top of it: the event
// types, the progress stepping rule, port and host handling and command-text hygiene.
// Every wait (connect, send, receive) runs in short slices with the event pump between them
// and ends with a time-out error after TimeOut milliseconds.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "mail/MailError.h"
#include "mail/QelTransport.h"
#include "platform/EventPump.h"

namespace mail {

// Common base of the components, so an event can say which one fired it.
class TObject {
public:
    virtual ~TObject() = default;
};

class TQelSocket;

using TNotifyEvent = std::function<void(TObject* sender)>;
using TOnError = std::function<void(TObject* sender, int error, const std::string& msg)>;
using TOnCodeProgressEvent = std::function<void(TObject* sender, std::uint16_t percent)>;
using TOnSendProgressEvent = TOnCodeProgressEvent;
using TSocketNotifyEvent = std::function<void(TObject* sender, TQelSocket& socket)>;
using TToFromSocketEvent = std::function<void(TObject* sender, const std::string& s)>;

// A send or receive failure, raised after the owner's error handler has run and the socket
// has been closed. what() is "Erreur socket Windows : <reason> (<code>), avec l'API '<api>'".
class SocketError : public MailError {
public:
    SocketError(int code, const std::string& api, const std::string& reason);
    int Code;
    std::string Api;
    std::string Reason;
    // The text a user is shown: a refused TLS server's own reason, else what().
    std::string Text() const { return Api == "tls" ? Reason : what(); }
};

class TQelSocket final : public TObject {
public:
    // Length of one receive.
    static constexpr std::size_t kReceiveSize = 1024;
    // Length of one poll slice between two runs of the event pump.
    static constexpr int kSliceMs = 50;

    TQelSocket(TransportFactory& factory, platform::EventPump& pump,
               Clock& clock = SteadyClock::Instance());
    ~TQelSocket() override;

    void SetPort(std::uint16_t port) { m_port = port; }
    // Exactly one of host name and address is non-empty.
    void SetHost(const std::string& name) { m_host = name; }
    void SetAddress(const std::string& address) { m_address = address; }
    const std::string& Host() const { return m_host; }
    const std::string& Address() const { return m_address; }
    std::uint16_t Port() const { return m_port; }

    // Bound of every wait in milliseconds.
    std::uint32_t TimeOut = 60000;
    // A time of the socket's clock by which every wait ends as well, whatever TimeOut allows:
    // the bound of a run of waits as a whole (see DeadlineScope).
    std::int64_t Deadline = kNoDeadline;

    // Lookup, connecting, connect notifications in this order; on any failure the disconnect
    // notification (when the socket was created) and then a SocketError. With ImplicitTls the
    // TLS handshake is part of the connecting.
    void Open();
    // TLS from the first byte for the next Open: server name for SNI and the check, and the
    // pinned fingerprint (empty: the system's store).
    void SetImplicitTls(bool on, const std::string& pin) {
        m_implicitTls = on;
        m_pin = pin;
    }
    // Puts TLS over the open connection (after STLS or STARTTLS), waiting in slices within
    // TimeOut. A refusal closes the connection and raises SocketError with api "tls".
    void StartTls(const std::string& pin);
    bool Secure() const { return m_secure; }
    // Closes and fires the disconnect notification; nothing when not connected.
    void Close();
    // Sends the whole text; returns the count sent, 0 when not connected.
    std::size_t SendBuf(std::string_view text);
    // One receive of up to capacity bytes: returns at the first bytes, 0 when not connected
    // or when the peer has closed the connection. The wait ends with a time-out error after
    // TimeOut, or earlier at deadline (a time of the socket's clock) when one is given, so a
    // caller can bound a whole line or answer rather than each receive. A deadline that has
    // passed fails even when bytes are waiting, so a peer that trickles cannot extend it.
    std::size_t ReceiveBuf(char* buffer, std::size_t capacity, std::int64_t deadline = kNoDeadline);
    static constexpr std::int64_t kNoDeadline = INT64_MAX;
    // ReceiveBuf for a peer that speaks only when it has news (IMAP IDLE): a wait that lasts
    // to `until` without a byte is no failure and returns kQuiet. TimeOut does not bound it;
    // Deadline does.
    static constexpr std::size_t kQuiet = SIZE_MAX;
    std::size_t ReceiveQuietUntil(char* buffer, std::size_t capacity, std::int64_t until);
    // Now on the clock that the waits are measured by.
    std::int64_t NowMs() const { return m_clock.NowMs(); }
    // what() of the last send or receive failure, as the SocketError that follows it says.
    const std::string& LastErrorText() const { return m_lastError; }
    // What the server had sent and nobody had read when a send failed (at most kReceiveSize
    // bytes): a server that ends the session says why before it closes, and that reply is
    // worth more than the reset that the next send meets. Read while OnErrorEvent runs.
    const std::string& UnreadAtSendFailure() const { return m_unreadAtSendFailure; }
    // The machine's host name.
    std::string LocalHost() const;
    bool Connected() const { return m_connected; }

    TSocketNotifyEvent OnLookup;
    TSocketNotifyEvent OnConnecting;
    TSocketNotifyEvent OnConnect;
    TSocketNotifyEvent OnDisconnect;
    // Called with the platform error code before the socket closes; setting it to 0 cancels
    // the exception.
    std::function<void(TQelSocket& socket, int& errorCode)> OnErrorEvent;
    // Asked after each pump of a wait: true ends the wait as a failure with ECANCELED, so a
    // handler that ran meanwhile can stop the operation.
    std::function<bool()> AbortQuery;

private:
    void Fire(const TSocketNotifyEvent& event);
    void Fail(int code, const std::string& api);
    bool TimedOut(std::int64_t start) const;
    // The pump between two slices of a wait; raises TransportError when the wait is aborted.
    void PumpOrAbort(const char* api);
    // The receive loop behind ReceiveBuf and ReceiveQuietUntil: the first bytes; a time-out
    // failure at deadline, or after TimeOut without a byte when idleFails; kQuiet at quietAt.
    std::size_t ReceiveWithin(char* buffer, std::size_t capacity, std::int64_t deadline,
                              std::int64_t quietAt, bool idleFails);
    void Handshake(const std::string& pin);

    TransportFactory& m_factory;
    platform::EventPump& m_pump;
    Clock& m_clock;
    std::unique_ptr<Transport> m_transport;
    std::string m_host;
    std::string m_address;
    std::uint16_t m_port = 0;
    bool m_connected = false;
    bool m_implicitTls = false;
    bool m_secure = false;
    std::string m_pin;
    std::string m_lastError;
    std::string m_unreadAtSendFailure;
};

// Brings the socket's Deadline forward to deadline for the life of the scope (a later one
// leaves it as it is) and puts the previous one back at the end.
class DeadlineScope {
public:
    DeadlineScope(TQelSocket& socket, std::int64_t deadline)
        : m_socket(socket), m_previous(socket.Deadline) {
        if (deadline < m_previous)
            m_socket.Deadline = deadline;
    }
    ~DeadlineScope() { m_socket.Deadline = m_previous; }
    DeadlineScope(const DeadlineScope&) = delete;
    DeadlineScope& operator=(const DeadlineScope&) = delete;

private:
    TQelSocket& m_socket;
    std::int64_t m_previous;
};

// Percentage of done against total, nearest integer with ties to even, held in 16 bits
// (larger values give 65535). A total of 0 gives 0.
std::uint16_t PercentOf(std::int64_t done, std::int64_t total);

// The stepping rule of every long loop: a report when the percentage reaches the threshold,
// then the threshold rises by one step; at the end one report of 100 unless already there.
class TProgressStepper {
public:
    void Start(std::uint16_t step);
    void Update(std::uint16_t percent, const std::function<void(std::uint16_t)>& report);
    void Finish(const std::function<void(std::uint16_t)>& report);
    std::uint16_t LastPercent() const { return m_last; }
    std::uint32_t NextThreshold() const { return m_next; }

private:
    std::uint16_t m_step = 10;
    std::uint16_t m_last = 0;
    std::uint32_t m_next = 10;
};

// ReplyText of a reply that never came because the server closed the connection.
inline constexpr const char* kClosedByServer = "Connection closed by the server.";

// The integer value of a port text, or fallback when it is not a number from 0 to 65535.
std::uint16_t PortOrDefault(const std::string& text, std::uint16_t fallback);

// Points the socket at Host: a dotted numeric address as the address, anything else as the
// name to resolve.
void AimSocket(TQelSocket& socket, const std::string& host, std::uint16_t port);

// A value that goes into one command or header line: every CR and LF becomes a blank, so it
// cannot start a second command or header.
std::string OneLine(std::string_view value);

}  // namespace mail
