#include "mail/QelPOP3.h"

#include <chrono>
#include <thread>

#include "mail/TokenCommand.h"
#include "platform/Stream.h"

namespace mail {

namespace {

const std::string kTerminator = "\r\n.\r\n";

std::string Decimal(std::uint32_t n) {
    return std::to_string(n);
}

// Loads the collected reply into a new message; the file is removed afterwards.
std::unique_ptr<TQelMsg> MessageFromFile(const std::string& path) {
    auto message = std::make_unique<TQelMsg>();
    platform::MemoryStream data;
    data.LoadFromFile(path);
    std::remove(path.c_str());
    message->RawMail = SplitLines(data.Bytes());
    return message;
}

}  // namespace

TPopReply ParsePopReply(const std::string& chunk) {
    TPopReply reply;
    reply.Status = Trim(chunk.substr(0, 4));
    const std::size_t eol = chunk.find("\r\n");
    if (eol != std::string::npos && eol > 4)
        reply.Text = Trim(chunk.substr(4, eol - 4));
    reply.Failed = reply.Status == "-ERR";
    reply.Valid = chunk.rfind("+OK", 0) == 0 || chunk.rfind("-ERR", 0) == 0;
    return reply;
}

TQelPOP::TQelPOP(TransportFactory& factory, platform::EventPump& pump, Clock& clock)
    : TQelClient(factory, pump, clock) {}

void TQelPOP::ReportError(int error, TObject* sender) {
    DeletedList.clear();
    TQelClient::ReportError(error, sender);
}

void TQelPOP::SendCommand(const std::string& command) {
    m_pump.ProcessMessages();
    m_socket.SendBuf(command);
    if (OnSendTextToSocket) {
        if (command.rfind("PASS ", 0) == 0)
            OnSendTextToSocket(this, "PASS ****\r\n");
        else if (command.rfind("AUTH XOAUTH2 ", 0) == 0)
            OnSendTextToSocket(this, "AUTH XOAUTH2 ****\r\n");
        else
            OnSendTextToSocket(this, command);
    }
}

std::string TQelPOP::ReadReply() {
    m_pump.ProcessMessages();
    const bool wasConnected = m_socket.Connected();
    // The status line may come in pieces; all of it must be there within TimeOut.
    const std::int64_t deadline = m_socket.NowMs() + TimeOut;
    std::string chunk;
    char buffer[TQelSocket::kReceiveSize];
    bool closed = false;
    std::size_t eol = std::string::npos;
    while (eol == std::string::npos && chunk.size() <= kMaxStatusLine) {
        const std::size_t n = m_socket.ReceiveBuf(buffer, sizeof buffer, deadline);
        if (n == 0) {
            closed = true;
            break;
        }
        const std::size_t from = chunk.empty() ? 0 : chunk.size() - 1;
        chunk.append(buffer, n);
        eol = chunk.find("\r\n", from);
    }
    const TPopReply reply = ParsePopReply(chunk);
    ReplyStatus = reply.Status;
    ReplyText = reply.Text;
    Failed = reply.Failed;
    m_broken = false;
    // Without a connection nothing was read, which the callers take as an empty success.
    if (wasConnected) {
        const char* fault = nullptr;
        if (closed)
            fault = kClosedByServer;
        else if (eol == std::string::npos || eol > kMaxStatusLine)
            fault = "The server's status line is longer than 8 KB.";
        else if (!reply.Valid)
            fault = "Protocol error: the server's reply begins with neither +OK nor -ERR.";
        if (fault != nullptr) {
            ReplyText = fault;
            m_broken = true;
            Failed = true;
        }
    }
    if (OnReceiveTextFromSocket)
        OnReceiveTextFromSocket(this, chunk);
    return chunk;
}

void TQelPOP::Connect() {
    DeletedList.clear();
    MessageCount = 0;
    const std::uint16_t port = PortOrDefault(Port, 110);
    AimSocket(m_socket, Host, port);
    m_socket.TimeOut = TimeOut;
    m_socket.SetImplicitTls(
        Security == TlsMode::Tls || (Security == TlsMode::Auto && port == kPop3sPort),
        TlsFingerprint);
    Failed = false;
    try {
        m_socket.Open();
    } catch (const SocketError& e) {
        // The reason of the failed open, not the text of some earlier reply.
        ReplyStatus.clear();
        ReplyText = e.Text();
        ReportError(kErrLogin, this);
        return;
    }
    if (Connected) {
        ReadReply();
        LoggedIn = false;
        AbortRequested = false;
        // A "-ERR" greeting only sets Failed; no greeting at all is a failure to report.
        if (Broken())
            ReportError(kErrLogin, this);
    }
}

bool TQelPOP::Refuse(const std::string& text) {
    ReplyStatus.clear();
    ReplyText = text;
    ReportError(kErrLogin, this);
    return false;
}

bool TQelPOP::OffersStls() {
    SendCommand("CAPA\r\n");
    std::string answer = ReadReply();
    if (Failed) {
        if (Broken())
            return false;
        Failed = false;  // a server without CAPA offers no STLS either
        return false;
    }
    const std::int64_t deadline = m_socket.NowMs() + TimeOut;
    char buffer[TQelSocket::kReceiveSize];
    while (answer.find(kTerminator) == std::string::npos && answer.size() < kMaxStatusLine) {
        const std::size_t n = m_socket.ReceiveBuf(buffer, sizeof buffer, deadline);
        if (n == 0)
            return false;
        answer.append(buffer, n);
    }
    for (const std::string& line : SplitLines(answer))
        if (Trim(line) == "STLS")
            return true;
    return false;
}

bool TQelPOP::SecureForLogin() {
    if (m_socket.Secure() || Security == TlsMode::Off ||
        (Security == TlsMode::Auto && IsLoopbackHost(Host)))
        return true;
    if (!OffersStls()) {
        if (!Connected)
            return Refuse(ReplyText.empty() ? kClosedByServer : ReplyText);
        if (Security == TlsMode::StartTls)
            return Refuse("The server " + Host +
                          " offers no STLS, which this account requires; nothing was sent.");
        return Refuse("The server " + Host +
                      " offers no TLS: the password is not sent in clear. To allow a plain "
                      "login, choose the security \"None\" for this account.");
    }
    SendCommand("STLS\r\n");
    ReadReply();
    if (Failed) {
        ReportError(kErrLogin, this);
        return false;
    }
    try {
        m_socket.StartTls(TlsFingerprint);
    } catch (const SocketError& e) {
        return Refuse(e.Text());
    }
    return true;
}

bool TQelPOP::LoginXOAuth2() {
    std::string token;
    try {
        token = RunTokenCommand(OAuthCommand, TimeOut, m_pump);
    } catch (const MailError& e) {
        return Refuse(e.what());
    }
    SendCommand("AUTH XOAUTH2 " + XOAuth2Response(OneLine(UserId), OneLine(token)) + "\r\n");
    const std::string answer = ReadReply();
    if (answer.rfind("+ ", 0) == 0) {
        // The refusal's details come as a challenge; an empty answer ends the exchange.
        SendCommand("\r\n");
        ReadReply();
        Failed = true;
    }
    if (Failed) {
        ReportError(kErrLogin, this);
        return false;
    }
    LoggedIn = true;
    return true;
}

bool TQelPOP::Login() {
    if (!Connected)
        throw MailError("Invalid Op. Not connected.");
    if (!SecureForLogin())
        return false;
    if (!OAuthCommand.empty())
        return LoginXOAuth2();
    SendCommand("USER " + OneLine(UserId) + "\r\n");
    ReadReply();
    if (Failed) {
        ReportError(kErrLogin, this);
        return false;
    }
    SendCommand("PASS " + OneLine(UserPasswd) + "\r\n");
    ReadReply();
    if (Failed) {
        ReportError(kErrLogin, this);
        return false;
    }
    LoggedIn = true;
    return true;
}

void TQelPOP::GetMailCount() {
    SendCommand("STAT\r\n");
    ReadReply();
    if (Failed) {
        ReportError(kErrStat, this);
        return;
    }
    const int count = ExtractNumber(ReplyText, 1, 0);
    MessageCount = count > 0 ? static_cast<std::uint32_t>(count) : 0;
    NewMessageCount = 0;
    LastSupported = true;
    SendCommand("LAST\r\n");
    ReadReply();
    if (Failed) {
        LastSupported = false;  // many servers dropped LAST; a refusal is no error
        if (Broken())
            ReportError(kErrStat, this);
        return;
    }
    NewMessageCount = static_cast<std::int64_t>(MessageCount) - ExtractNumber(ReplyText, 1, 0);
}

void TQelPOP::Quit() {
    if (!Connected)
        return;
    SendCommand("QUIT\r\n");
    ReadReply();
    if (Failed) {
        ReportError(kErrQuit, this);
        return;
    }
    DeletedList.clear();
    m_socket.Close();
    Connected = false;
    m_pump.ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void TQelPOP::DeleteMessage(std::uint32_t msgIndex) {
    if (!Connected)
        throw MailError("Not connected.");
    m_pump.ProcessMessages();
    if (AbortRequested)
        return;
    SendCommand("DELE " + Decimal(msgIndex) + "\r\n");
    ReadReply();
    if (Failed) {
        ReportError(kErrDelete, this);
        return;
    }
    DeletedList.push_back(Decimal(msgIndex));
    if (MessageCount > 0)
        --MessageCount;
    if (OnDelete)
        OnDelete(this, msgIndex);
}

std::string TQelPOP::GetUIDL(std::uint32_t msgIndex) {
    SendCommand("UIDL " + Decimal(msgIndex) + "\r\n");
    ReadReply();
    if (Failed) {
        ReportError(kErrStat, this);
        return "";
    }
    const std::size_t blank = ReplyText.find(' ');
    return blank == std::string::npos ? ReplyText : ReplyText.substr(blank + 1);
}

std::unique_ptr<TQelMsg> TQelPOP::RetrieveMessage(std::uint32_t msgIndex) {
    return Retrieve(msgIndex, false, 0);
}

std::unique_ptr<TQelMsg> TQelPOP::RetrieveTop(std::uint32_t msgIndex, std::uint32_t lines) {
    return Retrieve(msgIndex, true, lines);
}

std::unique_ptr<TQelMsg> TQelPOP::Retrieve(std::uint32_t msgIndex, bool top, std::uint32_t lines) {
    if (!Connected)
        throw MailError("Not connected.");
    if (OnBeforeRetrieve)
        OnBeforeRetrieve(this, msgIndex);

    const std::string path = GetTempFile();
    auto file = std::make_unique<platform::FileStream>(path, platform::FileStream::Mode::Create);
    auto discard = [&] {
        file.reset();
        std::remove(path.c_str());
    };
    std::int64_t size = 100;
    try {
        SendCommand("LIST " + Decimal(msgIndex) + "\r\n");
        ReadReply();
        if (Broken()) {
            discard();
            ReportError(kErrRetrieve, this);
            return std::make_unique<TQelMsg>();
        }
        size = ExtractNumber(ReplyText, 2, 100);

        SendCommand(top ? "TOP " + Decimal(msgIndex) + " " + Decimal(lines) + "\r\n"
                        : "RETR " + Decimal(msgIndex) + "\r\n");
        std::string chunk = ReadReply();
        m_progress.Start(RetrieveProgressStep);
        if (Failed) {
            discard();
            ReportError(kErrRetrieve, this);
            return std::make_unique<TQelMsg>();
        }
        file->Write(chunk);
        std::int64_t written = static_cast<std::int64_t>(chunk.size());
        auto report = [this](std::uint16_t percent) {
            if (OnRetrieveProgress)
                OnRetrieveProgress(this, percent);
        };

        const std::int64_t limit = top && lines == 0 ? kMaxHeaderPreview : kMaxMessageSize;
        // The low-speed bound: every TimeOut must bring kMinBytesPerTimeOut more bytes.
        std::int64_t windowStart = m_socket.NowMs();
        std::int64_t windowBytes = 0;
        char buffer[TQelSocket::kReceiveSize];
        while (chunk.find(kTerminator) == std::string::npos) {
            m_pump.ProcessMessages();
            if (AbortRequested) {
                file->Close();
                file.reset();
                return MessageFromFile(path);
            }
            if (written > limit) {
                discard();
                ReplyStatus.clear();
                ReplyText = limit == kMaxHeaderPreview ? "The message header is larger than 1 MB."
                                                       : "The message is larger than 256 MB.";
                ReportError(kErrRetrieve, this);
                return std::make_unique<TQelMsg>();
            }
            // Data chunks are not replies: their first bytes say nothing about success.
            const std::size_t n = m_socket.ReceiveBuf(buffer, sizeof buffer, windowStart + TimeOut);
            windowBytes += static_cast<std::int64_t>(n);
            if (windowBytes >= kMinBytesPerTimeOut) {
                windowStart = m_socket.NowMs();
                windowBytes = 0;
            }
            std::string read(buffer, n);
            if (OnReceiveTextFromSocket)
                OnReceiveTextFromSocket(this, read);
            if (n == 0) {
                // The server closed (or a handler did) before the terminator: the message is
                // incomplete.
                discard();
                ReplyStatus.clear();
                ReplyText = kClosedByServer;
                ReportError(kErrRetrieve, this);
                return std::make_unique<TQelMsg>();
            }
            const std::string tail = chunk.size() > 4 ? chunk.substr(chunk.size() - 4) : chunk;
            chunk = tail + read;
            file->Write(read);
            written += static_cast<std::int64_t>(n);
            m_progress.Update(PercentOf(written, size), report);
        }
        m_progress.Finish(report);
        file->Close();
        file.reset();
    } catch (...) {
        discard();
        throw;
    }

    std::unique_ptr<TQelMsg> message = MessageFromFile(path);
    StringList& raw = message->RawMail;
    if (!raw.empty())
        raw.erase(raw.begin());
    if (!raw.empty())
        raw.pop_back();
    for (std::string& line : raw)
        if (line.size() > 1 && line[0] == '.')
            line.erase(0, 1);
    message->Size = size;
    message->ParseMessage();
    if (GetUIDLsOnRetrieve)
        message->UIDL = GetUIDL(msgIndex);
    if (OnAfterRetrieve)
        OnAfterRetrieve(this);
    return message;
}

}  // namespace mail
