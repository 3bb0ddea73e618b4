#include "mail/QelSMTP.h"

#include <ctime>

namespace mail {

TQelSMTP::TQelSMTP(TransportFactory& factory, platform::EventPump& pump, Clock& clock)
    : TQelClient(factory, pump, clock) {}

int TQelSMTP::ReplyError() const {
    if (ReplyCode.size() != 3)
        return kErrClosed;
    int value = 0;
    for (char c : ReplyCode) {
        if (c < '0' || c > '9')
            return kErrClosed;
        value = value * 10 + (c - '0');
    }
    return value;
}

void TQelSMTP::SendCommand(const std::string& command) {
    m_pump.ProcessMessages();
    m_socket.SendBuf(command);
    if (OnSendTextToSocket)
        OnSendTextToSocket(this, command);
}

std::string TQelSMTP::ReadReply() {
    // Lines are assembled across reads, so a line split by the network keeps its code; a bare
    // code ("250") is a final line as much as "250 text" is.
    std::string pending;
    char buffer[TQelSocket::kReceiveSize];
    for (;;) {
        m_pump.ProcessMessages();
        const std::size_t n = m_socket.ReceiveBuf(buffer, sizeof buffer);
        if (n == 0) {
            ReplyCode.clear();
            ReplyText = kClosedByServer;
            Failed = true;
            if (OnReceiveTextFromSocket)
                OnReceiveTextFromSocket(this, "");
            return "";
        }
        pending.append(buffer, n);
        std::size_t eol;
        while ((eol = pending.find("\r\n")) != std::string::npos) {
            std::string line = pending.substr(0, eol + 2);
            pending.erase(0, eol + 2);
            ReplyCode = Trim(line.substr(0, 3));
            ReplyText = line.size() > 3 ? Trim(line.substr(3, 64)) : "";
            if (eol == 3 || (eol > 3 && line[3] == ' ')) {
                m_pump.ProcessMessages();
                if (OnReceiveTextFromSocket)
                    OnReceiveTextFromSocket(this, line);
                return line;
            }
        }
    }
}

bool TQelSMTP::Expect(const char* code) {
    if (!Failed)
        Failed = ReplyCode != code;
    return !Failed;
}

void TQelSMTP::Connect() {
    AimSocket(m_socket, Host, PortOrDefault(Port, 25));
    m_socket.TimeOut = TimeOut;
    Failed = false;
    try {
        m_socket.Open();
    } catch (const SocketError& e) {
        // Reported, so a caller that shows OnError texts can say why nothing was sent.
        ReplyCode.clear();
        ReplyText = e.what();
        ReportError(e.Code, this);
        return;
    }
    while (!Connected)
        m_pump.ProcessMessages();
    ReadReply();
    if (!Expect("220")) {
        ReportError(ReplyError(), this);
        return;
    }
    SendCommand("HELO " + OneLine(m_socket.LocalHost()) + "\r\n");
    ReadReply();
    if (!Expect("250"))
        ReportError(ReplyError(), this);
    AbortRequested = false;
}

bool TQelSMTP::SendMessage(TQelMsg& message) {
    if (!Connected)
        throw MailError("Not connected.");
    // A sender or a To list that names no address counts as missing: otherwise nothing (or a
    // null sender) would go out and the send would still report success.
    if (ExtractAddress(message.From, false).empty())
        throw MailError("\"From\" field not specified.");
    if (SplitAddressList(message.SendTo).empty())
        throw MailError("\"SendTo\" field not specified.");
    message.Date = FormatMailDate(std::time(nullptr));
    std::optional<StringList> lines = BuildMessage(message);
    if (!lines || AbortRequested)
        return false;
    if (OnBeforeSend)
        OnBeforeSend(this);
    const std::string sender = OneLine(ExtractAddress(message.From, false));
    m_send.Start(SendProgressStep);
    for (const std::string* list : {&message.SendTo, &message.CC, &message.BCC}) {
        if (SendToList(sender, SplitAddressList(*list), *lines) > 0)
            continue;
        // A socket failure has already run the failure path; the remaining lists would only
        // fail again on the closed connection.
        if (Connected)
            ReportError(ReplyError(), this);
        return false;
    }
    m_send.Finish([this](std::uint16_t p) {
        if (OnSendProgress)
            OnSendProgress(this, p);
    });
    if (OnAfterSend)
        OnAfterSend(this);
    return true;
}

int TQelSMTP::SendToList(const std::string& sender, const StringList& list,
                         const StringList& lines) {
    if (list.empty())
        return 1;
    SendCommand("MAIL FROM:<" + sender + ">\r\n");
    ReadReply();
    if (!Expect("250"))
        return -1;
    for (const std::string& address : list) {
        SendCommand("RCPT TO:<" + OneLine(address) + ">\r\n");
        ReadReply();
        if (!Expect("250"))
            return -2;
    }
    SendCommand("DATA\r\n");
    ReadReply();
    if (!Expect("354"))
        return -3;
    auto report = [this](std::uint16_t p) {
        if (OnSendProgress)
            OnSendProgress(this, p);
    };
    m_send.Start(SendProgressStep);
    const std::int64_t total = static_cast<std::int64_t>(lines.size());
    std::int64_t sent = 0;
    for (const std::string& line : lines) {
        try {
            SendCommand(line + "\r\n");
        } catch (const MailError&) {
            Failed = true;
            return -6;
        }
        m_send.Update(PercentOf(++sent, total), report);
        m_pump.ProcessMessages();
        if (AbortRequested)
            return 0;
    }
    SendCommand("\r\n.\r\n");
    ReadReply();
    if (!Expect("250"))
        return -4;
    SendCommand("RSET\r\n");
    ReadReply();
    if (!Expect("250"))
        return -5;
    report(100);
    return 1;
}

void TQelSMTP::Quit() {
    if (!Connected)
        return;
    if (!AbortRequested) {
        SendCommand("QUIT\r\n");
        ReadReply();
        if (!Expect("221")) {
            ReportError(ReplyError(), this);
            return;
        }
    }
    m_socket.Close();
    Connected = false;
}

}  // namespace mail
