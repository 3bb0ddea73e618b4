#pragma once
// TQelClient: what the POP3 and SMTP clients share: the socket session with its events passed
// on to the client's own, the Connected/Failed flags and the failure path.
#include <string>

#include "mail/QelSocket.h"

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

    TQelSocket& Socket() { return m_socket; }

protected:
    // The factory makes the connection when the client connects; nothing is opened here.
    TQelClient(TransportFactory& factory, platform::EventPump& pump, Clock& clock);
    ~TQelClient() override;

    // The failure path: Failed set, the connection closed, OnError with ReplyText.
    virtual void ReportError(int error, TObject* sender);
    // A send or receive of the socket failed with the platform code: the failure path with
    // the failure's own text.
    virtual void SocketFailed(TQelSocket& socket, int code);

    platform::EventPump& m_pump;
    TQelSocket m_socket;
};

}  // namespace mail
