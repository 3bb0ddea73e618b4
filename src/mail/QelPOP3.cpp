#include "mail/QelPOP3.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include "mail/LineCursor.h"
#include "mail/TokenCommand.h"
#include "platform/Secrets.h"
#include "platform/Stream.h"

namespace mail {

namespace {

const std::string kTerminator = "\r\n.\r\n";

std::string Decimal(std::uint32_t n) {
    return std::to_string(n);
}

// Receives of a message body take this much at once; progress still moves in steps of
// kProgressUnit, the size of one receive of a status reply.
constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::int64_t kProgressUnit = TQelSocket::kReceiveSize;

// Whether the "." at offset at of text begins a line that holds more than that dot: such a dot
// was added by the server's byte-stuffing (RFC 1939).
bool IsStuffedDot(std::string_view text, std::size_t at, std::size_t begin, std::size_t end) {
    if (at + 1 >= end || text[at + 1] == '\r' || text[at + 1] == '\n')
        return false;
    return at == begin || text[at - 1] == '\n' || text[at - 1] == '\r';
}

// The message in a RETR or TOP answer, in place: the status line and the final line go, and
// every stuffed dot is taken out by moving the rest down.
std::string_view MessageOfAnswer(platform::ReleasableBuffer& answer) {
    const std::string_view text = answer.View();
    const std::size_t begin = NextLineStart(text, 0);
    const std::size_t end = LastLineStart(text);
    if (end <= begin)
        return {};
    char* bytes = answer.Data();
    std::size_t write = begin;
    std::size_t read = begin;
    for (std::size_t at = begin;;) {
        const void* dot = std::memchr(bytes + at, '.', end - at);
        if (dot == nullptr)
            break;
        const auto found = static_cast<std::size_t>(static_cast<const char*>(dot) - bytes);
        at = found + 1;
        // Only bytes before `write` have been overwritten, and write < found.
        if (!IsStuffedDot(text, found, begin, end))
            continue;
        std::memmove(bytes + write, bytes + read, found - read);
        write += found - read;
        read = found + 1;
    }
    std::memmove(bytes + write, bytes + read, end - read);
    write += end - read;
    return std::string_view(bytes + begin, write - begin);
}

// A SASL challenge ("+ " and base64, or a bare "+"), which is no status reply.
bool IsContinuation(const std::string& answer) {
    return !answer.empty() && answer[0] == '+' && answer.rfind("+OK", 0) != 0;
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
    : TQelClient(factory, pump, clock, 110, kPop3sPort) {}

int TQelPOP::OpenFailed(const SocketError&) {
    ReplyStatus.clear();
    return kErrLogin;
}

void TQelPOP::ReportError(int error, TObject* sender) {
    DeletedList.clear();
    // A broken connection has no reply: the status of an earlier one would tell a false story.
    if (sender != this)
        ReplyStatus.clear();
    TQelClient::ReportError(error, sender);
}

void TQelPOP::SendCommand(const std::string& command, const char* masked) {
    m_pump.ProcessMessages();
    m_socket.SendBuf(command);
    if (OnSendTextToSocket) {
        if (masked != nullptr)
            OnSendTextToSocket(this, std::string(masked) + "\r\n");
        else if (command.rfind("PASS ", 0) == 0)
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
    m_capabilities.clear();
    m_capabilitiesAsked = false;
    MessageCount = 0;
    MailboxOctets = -1;
    if (!OpenConnection())
        return;
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

bool TQelPOP::AskCapabilities() {
    m_capabilities.clear();
    m_capabilitiesAsked = true;
    SendCommand("CAPA\r\n");
    std::string answer = ReadReply();
    if (Failed) {
        if (!Broken())
            Failed = false;  // a server without CAPA offers nothing we could use
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
    StringList lines = SplitLines(answer);
    for (std::size_t i = 1; i < lines.size() && lines[i] != "."; ++i)
        m_capabilities.push_back(Trim(lines[i]));
    return true;
}

bool TQelPOP::Offers(const std::string& capability) const {
    for (const std::string& line : m_capabilities)
        if (UpperCase(line.substr(0, line.find(' '))) == capability)
            return true;
    return false;
}

bool TQelPOP::HasCapability(const std::string& capability) {
    return Connected && AskCapabilities() && Offers(UpperCase(capability));
}

bool TQelPOP::OffersSasl(const std::string& mechanism) const {
    for (const std::string& line : m_capabilities) {
        if (UpperCase(line.substr(0, line.find(' '))) != "SASL")
            continue;
        const std::string mechanisms = " " + UpperCase(line) + " ";
        return mechanisms.find(" " + mechanism + " ") != std::string::npos;
    }
    return true;
}

bool TQelPOP::SecureForLogin() {
    if (m_socket.Secure() || Security == TlsMode::Off ||
        (Security == TlsMode::Auto && IsLoopbackHost(Host)))
        return true;
    AskCapabilities();
    if (!Offers("STLS")) {
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
    // What was offered in clear may have been changed on the way (RFC 2595): ask again.
    AskCapabilities();
    if (Broken())
        return Refuse(ReplyText);
    return true;
}

bool TQelPOP::LoginXOAuth2(const std::string& user) {
    if (!OffersSasl("XOAUTH2"))
        return Refuse("The server " + Host + " offers no XOAUTH2 login; no token was sent.");
    std::string token;
    try {
        token = RunTokenCommand(OAuthCommand, TimeOut, m_pump);
    } catch (const MailError& e) {
        return Refuse(e.what());
    }
    const std::string response = XOAuth2Response(OneLine(user), OneLine(token));
    const std::string command = "AUTH XOAUTH2 " + response + "\r\n";
    std::string answer;
    if (command.size() <= kMaxCommandLine) {
        SendCommand(command);
        answer = ReadReply();
    } else {
        SendCommand("AUTH XOAUTH2\r\n");
        answer = ReadReply();
        if (IsContinuation(answer)) {
            SendCommand(response + "\r\n", "****");
            answer = ReadReply();
        }
    }
    if (IsContinuation(answer)) {
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

bool TQelPOP::Login(const std::string& user, const std::string& password) {
    if (!Connected)
        throw MailError("Invalid Op. Not connected.");
    if (!SecureForLogin())
        return false;
    if (!OAuthCommand.empty())
        return LoginXOAuth2(user);
    SendCommand("USER " + OneLine(user) + "\r\n");
    ReadReply();
    if (Failed) {
        ReportError(kErrLogin, this);
        return false;
    }
    std::string pass = "PASS " + OneLine(password) + "\r\n";
    SendCommand(pass);
    platform::SecureClear(pass);
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
    MailboxOctets = std::max(-1, ExtractNumber(ReplyText, 2, -1));
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

bool TQelPOP::CapabilityListed(const std::string& capability) {
    if (!Connected)
        throw MailError("Not connected.");
    if (!m_capabilitiesAsked) {
        AskCapabilities();
        if (Broken()) {
            ReportError(kErrStat, this);
            return false;
        }
    }
    return Offers(UpperCase(capability));
}

bool TQelPOP::ReadToTerminator(std::string& answer, std::size_t limit) {
    std::int64_t windowStart = m_socket.NowMs();
    std::int64_t windowBytes = 0;
    std::size_t searchFrom = 0;
    char buffer[64 * 1024];
    while (answer.find(kTerminator, searchFrom) == std::string::npos) {
        if (answer.size() > limit)
            return false;
        searchFrom = answer.size() > 4 ? answer.size() - 4 : 0;
        const std::size_t n = m_socket.ReceiveBuf(buffer, sizeof buffer, windowStart + TimeOut);
        if (n == 0)
            return false;
        answer.append(buffer, n);
        windowBytes += static_cast<std::int64_t>(n);
        if (windowBytes >= kMinBytesPerTimeOut) {
            windowStart = m_socket.NowMs();
            windowBytes = 0;
        }
    }
    return true;
}

TUidlList TQelPOP::GetUIDLList() {
    if (!Connected)
        throw MailError("Not connected.");
    TUidlList list;
    SendCommand("UIDL\r\n");
    std::string answer = ReadReply();
    if (Failed) {
        if (Broken())
            ReportError(kErrStat, this);
        else
            list.Outcome = TUidlList::TOutcome::Refused;
        return list;
    }
    if (!ReadToTerminator(answer, kMaxUidlList)) {
        ReplyStatus.clear();
        ReplyText =
            answer.size() > kMaxUidlList ? "The server's UIDL list is too long." : kClosedByServer;
        ReportError(kErrStat, this);
        return list;
    }
    std::vector<std::string> ids(MessageCount);
    std::size_t named = 0;
    std::size_t at = NextLineStart(answer, 0);
    const std::size_t end = LastLineStart(answer);
    while (at < end) {
        std::size_t eol = answer.find('\n', at);
        const std::string_view line(answer.data() + at,
                                    (eol == std::string::npos ? end : eol) - at);
        at = eol == std::string::npos ? end : eol + 1;
        const std::string_view text = line.substr(0, line.find_last_not_of("\r") + 1);
        const std::size_t blank = text.find(' ');
        const std::string number(text.substr(0, blank));
        const int n = blank == std::string::npos ? 0 : ExtractNumber(number, 1, 0);
        const std::string_view id =
            blank == std::string::npos ? std::string_view() : text.substr(blank + 1);
        if (n < 1 || static_cast<std::uint32_t>(n) > MessageCount || number != std::to_string(n) ||
            id.empty() || id.size() > kMaxUidlLength ||
            !ids[static_cast<std::size_t>(n - 1)].empty()) {
            named = 0;
            break;
        }
        ids[static_cast<std::size_t>(n - 1)] = id;
        ++named;
    }
    if (named != MessageCount) {
        ReplyStatus.clear();
        ReplyText = "The server's UIDL list does not match its message count.";
        Failed = true;
        ReportError(kErrStat, this);
        return list;
    }
    list.Outcome = TUidlList::TOutcome::Listed;
    list.Ids = std::move(ids);
    return list;
}

void TQelPOP::StartTimeLimit() {
    m_socket.Deadline = m_socket.NowMs() + TimeOut;
}

void TQelPOP::EndTimeLimit() {
    m_socket.Deadline = TQelSocket::kNoDeadline;
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

    const std::int64_t start = m_socket.NowMs();
    SendCommand("LIST " + Decimal(msgIndex) + "\r\n");
    ReadReply();
    if (Broken()) {
        ReportError(kErrRetrieve, this);
        return std::make_unique<TQelMsg>();
    }
    const std::int64_t size = ExtractNumber(ReplyText, 2, 100);
    const AnswerBounds bounds = BoundsOfAnswer(top && lines == 0);
    const std::int64_t limit = bounds.MaxBytes;
    const DeadlineScope bounded(m_socket, start + TimeOut + bounds.ExtraMs);

    SendCommand(top ? "TOP " + Decimal(msgIndex) + " " + Decimal(lines) + "\r\n"
                    : "RETR " + Decimal(msgIndex) + "\r\n");
    const std::string first = ReadReply();
    m_progress.Start(RetrieveProgressStep);
    if (Failed) {
        ReportError(kErrRetrieve, this);
        return std::make_unique<TQelMsg>();
    }
    auto report = [this](std::uint16_t percent) {
        if (OnRetrieveProgress)
            OnRetrieveProgress(this, percent);
    };

    // The whole answer is received into this one buffer and parsed in place. It grows as the
    // data come (a larger mapping takes its pages without copying), so a size announced by
    // the server reserves nothing, and it never holds more than limit and one byte.
    platform::ReleasableBuffer answer;
    constexpr const char* kNoMemory = "Not enough memory for the message.";
    try {
        answer.Append(first.data(), first.size());
    } catch (const std::bad_alloc&) {
        return RetrieveFailed(kNoMemory);
    }
    // The low-speed bound: every TimeOut must bring kMinBytesPerTimeOut more bytes.
    std::int64_t windowStart = m_socket.NowMs();
    std::int64_t windowBytes = 0;
    // The terminator may straddle two receives: each search starts 4 bytes before the new ones.
    std::size_t searchFrom = 0;
    while (answer.View().find(kTerminator, searchFrom) == std::string_view::npos) {
        searchFrom = answer.Size() > 4 ? answer.Size() - 4 : 0;
        m_pump.ProcessMessages();
        if (AbortRequested) {
            auto message = std::make_unique<TQelMsg>();
            message->RawMail = SplitLines(answer.View());
            return message;
        }
        const auto held = static_cast<std::int64_t>(answer.Size());
        if (held > limit)
            return RetrieveFailed(bounds.TooLarge);
        const auto capacity =
            static_cast<std::size_t>(std::min<std::int64_t>(kBlockSize, limit + 1 - held));
        char* room = nullptr;
        try {
            room = answer.Room(capacity);
        } catch (const std::bad_alloc&) {
            return RetrieveFailed(kNoMemory);
        }
        // Data chunks are not replies: their first bytes say nothing about success.
        const std::size_t n = m_socket.ReceiveBuf(room, capacity, windowStart + TimeOut);
        windowBytes += static_cast<std::int64_t>(n);
        if (windowBytes >= kMinBytesPerTimeOut) {
            windowStart = m_socket.NowMs();
            windowBytes = 0;
        }
        if (OnReceiveTextFromSocket)
            OnReceiveTextFromSocket(this, std::string(room, n));
        // The server closed (or a handler did) before the terminator: the message is
        // incomplete.
        if (n == 0)
            return RetrieveFailed(kClosedByServer);
        const auto before = static_cast<std::int64_t>(answer.Size());
        answer.Commit(n);
        const auto after = static_cast<std::int64_t>(answer.Size());
        // Each kilobyte is one unit of the stepping rule, however much one receive brought,
        // so a message reports as many steps as when it came a kilobyte at a time.
        for (std::int64_t done = before + kProgressUnit; done < after; done += kProgressUnit)
            m_progress.Update(PercentOf(done, size), report);
        m_progress.Update(PercentOf(after, size), report);
    }
    m_progress.Finish(report);

    auto message = std::make_unique<TQelMsg>();
    message->Size = size;
    message->ParseRawText(MessageOfAnswer(answer), &answer);
    if (GetUIDLsOnRetrieve)
        message->UIDL = GetUIDL(msgIndex);
    if (OnAfterRetrieve)
        OnAfterRetrieve(this);
    return message;
}

TQelPOP::AnswerBounds TQelPOP::BoundsOfAnswer(bool preview) const {
    // The size of the LIST just answered, else the STAT total. A size of 0 is taken for no
    // size at all rather than as a bound that every real message passes.
    const int listed = Failed ? 0 : ExtractNumber(ReplyText, 2, 0);
    const std::int64_t announced = listed > 0 ? listed : MailboxOctets > 0 ? MailboxOctets : -1;
    AnswerBounds bounds{
        preview ? kMaxHeaderPreview : kMaxMessageSize,
        preview ? "The message header is larger than 1 MB." : "The message is larger than 256 MB.",
        0};
    if (announced >= 0 && announced + announced / 10 + kOverSizeSlack < bounds.MaxBytes) {
        bounds.MaxBytes = announced + announced / 10 + kOverSizeSlack;
        bounds.TooLarge = "The server sent more than the message's size.";
    }
    const std::int64_t expected =
        announced >= 0 ? std::min(announced, bounds.MaxBytes) : bounds.MaxBytes;
    bounds.ExtraMs = expected * 1000 / kMinBytesPerSecond;
    return bounds;
}

std::unique_ptr<TQelMsg> TQelPOP::RetrieveFailed(const std::string& text) {
    ReplyStatus.clear();
    ReplyText = text;
    ReportError(kErrRetrieve, this);
    return std::make_unique<TQelMsg>();
}

}  // namespace mail
