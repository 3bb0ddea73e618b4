#pragma once
// TQelClient: what the POP3 and SMTP clients share: where and how they connect, the opening of
// the connection, the socket session with its events passed on to the client's own, the
// Connected/Failed flags and the failure path.
#include <cstdint>
#include <string>

#include "mail/QelSocket.h"
#include "mail/TlsTransport.h"

namespace mail {

class TQelClient : public TObject {
public:
    TQelClient(const TQelClient&) = delete;
    TQelClient& operator=(const TQelClient&) = delete;

    TNotifyEvent OnConnect;
    TNotifyEvent OnQuit;
    TOnError OnError;
    TSocketNotifyEvent OnLookup;
    TSocketNotifyEvent OnConnecting;
    TToFromSocketEvent OnSendTextToSocket;
    TToFromSocketEvent OnReceiveTextFromSocket;

    bool Connected = false;
    bool Failed = false;
    std::string ReplyText;
    bool AbortRequested = false;

    // The protocol's own port when Port is no number.
    std::string Port;
    std::string Host;
    // Bound in milliseconds of the wait for the connection and for a whole reply.
    std::uint32_t TimeOut = 60000;
    // Tls: TLS from the first byte. StartTls: the protocol's STARTTLS, refused when not
    // offered. Off: plain text. Auto: Tls on the protocol's TLS port; plain to a loopback
    // host; else STARTTLS when offered, else the session fails before any credential is sent.
    TlsMode Security = TlsMode::Auto;
    // SHA-256 fingerprint that the server's certificate must have; empty: the system's store.
    std::string TlsFingerprint;
    // When set, the login is AUTH XOAUTH2 with the first line this command prints.
    std::string OAuthCommand;

protected:
    // The factory makes the connection when the client connects; nothing is opened here.
    // defaultPort is the protocol's port, tlsPort the one that Auto takes as TLS from the
    // first byte.
    TQelClient(TransportFactory& factory, platform::EventPump& pump, Clock& clock,
               std::uint16_t defaultPort, std::uint16_t tlsPort);
    ~TQelClient() override;

    // Aims the socket at Host and Port with TimeOut and the TLS that Security asks for from the
    // first byte, clears Failed and opens the connection. One that cannot be opened takes the
    // failure path with its reason as ReplyText and the number OpenFailed gives: false.
    bool OpenConnection();
    // The connection could not be opened: forgets the protocol's last reply and returns the
    // error number to report.
    virtual int OpenFailed(const SocketError& error) = 0;

    // The failure path: Failed set, the connection closed, OnError with ReplyText.
    virtual void ReportError(int error, TObject* sender);
    // A send or receive of the socket failed with the platform code: the failure path with
    // the failure's own text.
    virtual void SocketFailed(TQelSocket& socket, int code);

    platform::EventPump& m_pump;
    TQelSocket m_socket;

private:
    const std::uint16_t m_defaultPort;
    const std::uint16_t m_tlsPort;
};

}  // namespace mail
