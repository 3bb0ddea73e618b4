#include "mail/QelClient.h"

namespace mail {

TQelClient::TQelClient(TransportFactory& factory, platform::EventPump& pump, Clock& clock)
    : m_pump(pump), m_socket(factory, pump, clock) {
    m_socket.OnLookup = [this](TObject* sender, TQelSocket& socket) {
        if (OnLookup)
            OnLookup(sender, socket);
    };
    m_socket.OnConnecting = [this](TObject* sender, TQelSocket& socket) {
        if (OnConnecting)
            OnConnecting(sender, socket);
    };
    m_socket.OnConnect = [this](TObject*, TQelSocket&) {
        Connected = true;
        if (OnConnect)
            OnConnect(this);
    };
    m_socket.OnDisconnect = [this](TObject*, TQelSocket&) {
        Connected = false;
        if (OnQuit)
            OnQuit(this);
    };
    m_socket.OnErrorEvent = [this](TQelSocket& socket, int& code) { SocketFailed(socket, code); };
    m_socket.AbortQuery = [this] { return AbortRequested; };
}

TQelClient::~TQelClient() {
    // Destruction is no session step: close without events, whose receivers may be gone.
    m_socket.OnDisconnect = nullptr;
    m_socket.Close();
}

void TQelClient::SocketFailed(TQelSocket& socket, int code) {
    // The failure path reports ReplyText: after a socket failure that is the failure's own
    // text, not the last reply's.
    ReplyText = socket.LastErrorText();
    ReportError(code, &socket);
}

void TQelClient::ReportError(int error, TObject* sender) {
    Failed = true;
    m_socket.Close();
    Connected = false;
    if (OnError)
        OnError(sender, error, ReplyText);
}

}  // namespace mail
