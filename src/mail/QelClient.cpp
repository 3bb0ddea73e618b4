#include "mail/QelClient.h"

namespace mail {

TQelClient::TQelClient(TransportFactory& factory, platform::EventPump& pump, Clock& clock,
                       std::uint16_t defaultPort, std::uint16_t tlsPort)
    : Port(std::to_string(defaultPort)),
      m_pump(pump),
      m_socket(factory, pump, clock),
      m_defaultPort(defaultPort),
      m_tlsPort(tlsPort) {
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

bool TQelClient::OpenConnection() {
    const std::uint16_t port = PortOrDefault(Port, m_defaultPort);
    AimSocket(m_socket, Host, port);
    m_socket.TimeOut = TimeOut;
    m_socket.SetImplicitTls(
        Security == TlsMode::Tls || (Security == TlsMode::Auto && port == m_tlsPort),
        TlsFingerprint);
    Failed = false;
    try {
        m_socket.Open();
    } catch (const SocketError& e) {
        // The reason of the failed open, not the text of some earlier reply.
        const int error = OpenFailed(e);
        ReplyText = e.Text();
        ReportError(error, this);
        return false;
    }
    return true;
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
