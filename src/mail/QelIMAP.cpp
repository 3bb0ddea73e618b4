#include "mail/QelIMAP.h"

#include <algorithm>
#include <cctype>

#include "mail/TokenCommand.h"
#include "mail/qel_util.h"
#include "platform/Secrets.h"

namespace mail {

namespace {

// Receives of a literal take this much at once.
constexpr std::size_t kBlockSize = 64 * 1024;

// A string as an IMAP quoted string.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// Whether text can travel as a quoted string: 7-bit, no NUL and no line break.
bool Quotable(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x01 && u <= 0x7F && c != '\r' && c != '\n';
    });
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        if (end > at)
            words.push_back(UpperCase(text.substr(at, end - at)));
        at = end + 1;
    }
    return words;
}

}  // namespace

TQelIMAP::TQelIMAP(TransportFactory& factory, platform::EventPump& pump, Clock& clock)
    : TQelClient(factory, pump, clock, kImapPort, kImapsPort), m_receive(kBlockSize) {}

int TQelIMAP::OpenFailed(const SocketError&) {
    return kErrLogin;
}

void TQelIMAP::ReportError(int error, TObject* sender) {
    LoggedIn = false;
    TQelClient::ReportError(error, sender);
}

void TQelIMAP::RequireConnection() const {
    if (!Connected)
        throw MailError("Not connected.");
}

void TQelIMAP::SendLine(const std::string& line, const std::string& masked) {
    m_pump.ProcessMessages();
    m_socket.SendBuf(line + "\r\n");
    if (OnSendTextToSocket)
        OnSendTextToSocket(this, (masked.empty() ? line : masked) + "\r\n");
}

std::string TQelIMAP::SendCommand(const std::string& command, const std::string& masked) {
    const std::string tag = "V" + std::to_string(++m_nextTag);
    SendLine(tag + " " + command, masked.empty() ? "" : tag + " " + masked);
    return tag;
}

void TQelIMAP::StartAnswer() {
    m_answerStart = m_socket.NowMs();
    m_literalsBefore = m_reader.LiteralBytesAnnounced();
}

TQelIMAP::Read TQelIMAP::ReadResponse(ImapResponse& response, std::int64_t quietUntil) {
    // The low-speed bound: every TimeOut must bring kMinBytesPerTimeOut more bytes.
    std::int64_t windowStart = m_socket.NowMs();
    std::int64_t windowBytes = 0;
    for (;;) {
        const ImapReader::Result result = m_reader.Next(response);
        if (result == ImapReader::Result::Response)
            return Read::Response;
        if (result == ImapReader::Result::Error) {
            Broken(m_reader.Fault());
            return Read::Broken;
        }
        const std::int64_t literals = m_reader.LiteralBytesAnnounced() - m_literalsBefore;
        const std::int64_t deadline = std::min(
            m_answerStart + TimeOut + literals * 1000 / kMinBytesPerSecond, windowStart + TimeOut);
        std::size_t n = 0;
        if (quietUntil > 0) {
            n = m_socket.ReceiveQuietUntil(m_receive.data(), m_receive.size(), quietUntil);
            if (n == TQelSocket::kQuiet)
                return Read::Quiet;
        } else {
            n = m_socket.ReceiveBuf(m_receive.data(), m_receive.size(), deadline);
        }
        if (n == 0) {
            Broken(m_bye.empty() ? kClosedByServer : m_bye);
            return Read::Broken;
        }
        if (OnReceiveTextFromSocket)
            OnReceiveTextFromSocket(this, std::string(m_receive.data(), n));
        m_reader.Feed(std::string_view(m_receive.data(), n));
        windowBytes += static_cast<std::int64_t>(n);
        if (windowBytes >= kMinBytesPerTimeOut) {
            windowStart = m_socket.NowMs();
            windowBytes = 0;
        }
    }
}

bool TQelIMAP::Broken(const std::string& text) {
    ReplyText = text;
    Failed = true;
    return false;
}

void TQelIMAP::Untagged(const ImapResponse& response) {
    if (response.status == "BYE") {
        m_bye = response.text.empty() ? kClosedByServer : response.text;
        return;
    }
    if (!response.code.empty()) {
        const std::vector<std::string> words = Words(response.code);
        if (words.size() >= 2 && (words[0] == "UIDVALIDITY" || words[0] == "UIDNEXT")) {
            const std::uint32_t value =
                ImapValue{ImapValue::Kind::Atom, words[1], {}}.Number().value_or(0);
            (words[0] == "UIDVALIDITY" ? UidValidity : UidNext) = value;
        } else if (!words.empty() && words[0] == "CAPABILITY") {
            m_capabilities.assign(words.begin() + 1, words.end());
        }
    }
    if (response.name == "CAPABILITY") {
        m_capabilities.clear();
        for (const ImapValue& value : response.values)
            m_capabilities.push_back(UpperCase(value.text));
    } else if (response.name == "EXISTS" && response.number) {
        Exists = *response.number;
    } else if (response.name == "EXPUNGE" && response.number && Exists > 0) {
        --Exists;
    }
}

bool TQelIMAP::Await(const std::string& tag, const Handler& handler) {
    Failed = false;
    ReplyStatus.clear();
    StartAnswer();
    for (;;) {
        ImapResponse response;
        if (ReadResponse(response) != Read::Response)
            return false;
        if (response.kind == ImapResponse::Kind::Tagged) {
            if (response.tag != tag)
                return Broken("Protocol error: the server answers a command that was not sent.");
            ReplyText = response.text;
            Failed = response.status != "OK";
            if (response.status == "NO" || response.status == "BAD")
                ReplyStatus = response.status;
            else if (Failed)
                ReplyText = "Protocol error: the server's answer has no status.";
            return !Failed;
        }
        if (response.kind == ImapResponse::Kind::Untagged)
            Untagged(response);
        const bool taken = handler && handler(response);
        if (response.kind == ImapResponse::Kind::Continuation && !taken)
            return Broken("Protocol error: the server waits for data that no command has.");
        // The handler found the answer broken, or the socket failed meanwhile.
        if (Failed || !Connected)
            return false;
    }
}

bool TQelIMAP::Run(const std::string& command, int error, const Handler& handler,
                   const std::string& masked) {
    const std::string tag = SendCommand(command, masked);
    if (Await(tag, handler))
        return true;
    if (m_loggingOut && !m_bye.empty() && ReplyText == m_bye)
        return true;  // the server closed after its BYE, as it may at LOGOUT
    ReportError(error, this);
    return false;
}

bool TQelIMAP::Refuse(const std::string& text, int error) {
    ReplyText = text;
    ReportError(error, this);
    return false;
}

void TQelIMAP::Connect() {
    m_capabilities.clear();
    m_reader.Reset();
    m_bye.clear();
    m_loggingOut = false;
    m_nextTag = 0;
    m_readOnly = true;
    LoggedIn = false;
    Folder.clear();
    Exists = UidValidity = UidNext = MessageCount = 0;
    Uids.clear();
    AbortRequested = false;
    if (!OpenConnection() || !Connected)
        return;
    ImapResponse greeting;
    StartAnswer();
    if (ReadResponse(greeting) != Read::Response) {
        ReportError(kErrLogin, this);
        return;
    }
    Untagged(greeting);
    ReplyText = greeting.text;
    if (greeting.kind != ImapResponse::Kind::Untagged ||
        (greeting.status != "OK" && greeting.status != "PREAUTH")) {
        if (greeting.status != "BYE")
            ReplyText = "Protocol error: the server's greeting is no IMAP greeting.";
        ReportError(kErrLogin, this);
        return;
    }
    LoggedIn = greeting.status == "PREAUTH";
}

bool TQelIMAP::Offers(const std::string& capability) const {
    return std::find(m_capabilities.begin(), m_capabilities.end(), capability) !=
           m_capabilities.end();
}

bool TQelIMAP::AskCapabilities() {
    m_capabilities.clear();
    return Run("CAPABILITY", kErrLogin);
}

bool TQelIMAP::SecureForLogin() {
    if (m_socket.Secure() || Security == TlsMode::Off ||
        (Security == TlsMode::Auto && IsLoopbackHost(Host)))
        return true;
    if (m_capabilities.empty() && !AskCapabilities())
        return false;
    if (!Offers("STARTTLS")) {
        if (Security == TlsMode::StartTls)
            return Refuse("The server " + Host +
                              " offers no STARTTLS, which this account requires; nothing was "
                              "sent.",
                          kErrLogin);
        return Refuse("The server " + Host +
                          " offers no TLS: the password is not sent in clear. To allow a plain "
                          "login, choose the security \"None\" for this account.",
                      kErrLogin);
    }
    if (!Run("STARTTLS", kErrLogin))
        return false;
    // Whatever came in clear after the answer may have been put there on the way.
    m_reader.Reset();
    try {
        m_socket.StartTls(TlsFingerprint);
    } catch (const SocketError& e) {
        return Refuse(e.Text(), kErrLogin);
    }
    // What was offered in clear may have been changed on the way: ask again.
    return AskCapabilities();
}

bool TQelIMAP::Authenticate(const std::string& mechanism, const std::string& response) {
    const bool initial = Offers("SASL-IR");
    bool sent = initial;
    const std::string tag =
        SendCommand("AUTHENTICATE " + mechanism + (initial ? " " + response : ""),
                    "AUTHENTICATE " + mechanism + (initial ? " ****" : ""));
    const bool done = Await(tag, [&](ImapResponse& answer) {
        if (answer.kind != ImapResponse::Kind::Continuation)
            return false;
        // A challenge after the response carries the refusal's details; an empty line ends it.
        SendLine(sent ? "" : response, sent ? "" : "****");
        sent = true;
        return true;
    });
    if (!done)
        ReportError(kErrLogin, this);
    return done;
}

bool TQelIMAP::Login(const std::string& user, const std::string& password) {
    if (!Connected)
        throw MailError("Invalid Op. Not connected.");
    if (LoggedIn)
        return true;
    if (!SecureForLogin())
        return false;
    if (m_capabilities.empty() && !AskCapabilities())
        return false;
    if (!OAuthCommand.empty()) {
        if (!Offers("AUTH=XOAUTH2"))
            return Refuse("The server " + Host + " offers no XOAUTH2 login; no token was sent.",
                          kErrLogin);
        std::string token;
        try {
            token = RunTokenCommand(OAuthCommand, TimeOut, m_pump);
        } catch (const MailError& e) {
            return Refuse(e.what(), kErrLogin);
        }
        LoggedIn = Authenticate("XOAUTH2", XOAuth2Response(OneLine(user), OneLine(token)));
        return LoggedIn;
    }
    if (Quotable(user) && Quotable(password) && !Offers("LOGINDISABLED")) {
        std::string command = "LOGIN " + Quoted(user) + " " + Quoted(password);
        LoggedIn = Run(command, kErrLogin, {}, "LOGIN " + Quoted(user) + " ****");
        platform::SecureClear(command);
        return LoggedIn;
    }
    if (!Offers("AUTH=PLAIN"))
        return Refuse("The server " + Host + " offers no login for this user name and password.",
                      kErrLogin);
    std::string plain = std::string(1, '\0') + user + '\0' + password;
    std::string response = Base64Line(plain);
    platform::SecureClear(plain);
    LoggedIn = Authenticate("PLAIN", response);
    platform::SecureClear(response);
    return LoggedIn;
}

bool TQelIMAP::Open(const std::string& command, const std::string& folder) {
    RequireConnection();
    Exists = UidValidity = UidNext = 0;
    Folder.clear();
    if (!Run(command + " " + Quoted(EncodeImapFolder(OneLine(folder))), kErrStat))
        return false;
    Folder = folder;
    m_readOnly = command == "EXAMINE";
    return true;
}

bool TQelIMAP::Examine(const std::string& folder) {
    return Open("EXAMINE", folder);
}

bool TQelIMAP::Select(const std::string& folder) {
    return Open("SELECT", folder);
}

std::vector<std::uint32_t> TQelIMAP::Search(const std::string& criteria) {
    RequireConnection();
    std::vector<std::uint32_t> uids;
    const bool done = Run("UID SEARCH " + criteria, kErrStat, [&uids](ImapResponse& r) {
        if (r.name != "SEARCH")
            return false;
        for (const ImapValue& value : r.values)
            if (value.Number())
                uids.push_back(*value.Number());
        return true;
    });
    if (!done)
        return {};
    std::sort(uids.begin(), uids.end());
    uids.erase(std::unique(uids.begin(), uids.end()), uids.end());
    return uids;
}

void TQelIMAP::GetMailCount(bool unseenOnly) {
    RequireConnection();
    if (!unseenOnly) {
        Uids.clear();
        MessageCount = Exists;
        return;
    }
    Uids = Search("UNSEEN");
    MessageCount = static_cast<std::uint32_t>(Uids.size());
}

std::unique_ptr<TQelMsg> TQelIMAP::FetchHeader(std::uint32_t uid) {
    return Fetch(uid, "HEADER");
}

std::unique_ptr<TQelMsg> TQelIMAP::FetchMessage(std::uint32_t uid) {
    return Fetch(uid, "");
}

std::unique_ptr<TQelMsg> TQelIMAP::Fetch(std::uint32_t uid, const std::string& section) {
    RequireConnection();
    const std::string item = "BODY[" + section + "]";
    std::string body;
    std::int64_t size = -1;
    bool found = false;
    const bool done =
        Run("UID FETCH " + std::to_string(uid) + " (UID RFC822.SIZE BODY.PEEK[" + section + "])",
            kErrRetrieve, [&](ImapResponse& r) {
                if (r.name != "FETCH")
                    return false;
                if (r.malformed || r.values.empty() || !r.values[0].IsList()) {
                    Broken("Protocol error: the server's FETCH answer cannot be read.");
                    return true;
                }
                ImapValue& list = r.values[0];
                const ImapValue* id = FetchItem(list, "UID");
                ImapValue* data = FetchItem(list, item);
                // Other FETCH answers (a flag changed elsewhere) are about other things.
                if (id == nullptr || id->Number() != uid || data == nullptr)
                    return true;
                found = true;
                body = std::move(data->text);
                if (const ImapValue* octets = FetchItem(list, "RFC822.SIZE"))
                    size = octets->Number().value_or(0);
                return true;
            });
    if (!done)
        return std::make_unique<TQelMsg>();
    if (!found) {
        Refuse("The message is no longer on the server.", kErrRetrieve);
        return std::make_unique<TQelMsg>();
    }
    auto message = std::make_unique<TQelMsg>();
    message->Size = size >= 0 ? size : static_cast<long long>(body.size());
    message->UIDL = std::to_string(uid);
    message->ParseRawText(body);
    return message;
}

bool TQelIMAP::DeleteMessage(std::uint32_t uid) {
    RequireConnection();
    if (m_readOnly)
        return Refuse("The folder is open read-only; nothing was deleted.", kErrDelete);
    const std::string id = std::to_string(uid);
    const bool byUid = Offers("UIDPLUS");
    if (!byUid) {
        // A plain EXPUNGE removes every message flagged \Deleted, also ones flagged elsewhere.
        const std::vector<std::uint32_t> flagged = Search("DELETED");
        if (!Connected)
            return false;
        if (std::any_of(flagged.begin(), flagged.end(), [uid](auto other) { return other != uid; }))
            return Refuse(
                "Other messages of the folder are marked as deleted and the server "
                "cannot expunge one message alone; nothing was deleted.",
                kErrDelete);
    }
    if (!Run("UID STORE " + id + " +FLAGS.SILENT (\\Deleted)", kErrDelete) ||
        !Run(byUid ? "UID EXPUNGE " + id : "EXPUNGE", kErrDelete))
        return false;
    const auto at = std::find(Uids.begin(), Uids.end(), uid);
    if (at != Uids.end()) {
        Uids.erase(at);
        MessageCount = static_cast<std::uint32_t>(Uids.size());
    }
    return true;
}

bool TQelIMAP::Idle(std::uint32_t ms, const std::function<bool(std::uint32_t)>& onExists) {
    RequireConnection();
    if (!Offers("IDLE"))
        return Refuse("The server " + Host + " offers no IDLE.", kErrIdle);
    const std::string tag = SendCommand("IDLE");
    const std::int64_t until = m_socket.NowMs() + ms;
    bool idling = false;
    bool stop = false;
    std::uint32_t known = Exists;
    const auto watch = [&](ImapResponse& r) {
        if (r.kind == ImapResponse::Kind::Continuation) {
            idling = true;
            return true;
        }
        if (Exists != known) {
            known = Exists;
            stop = stop || (onExists && onExists(Exists));
        }
        return r.kind == ImapResponse::Kind::Untagged;
    };
    // Up to the server's "+", the command's own time bound; then quiet until the end.
    StartAnswer();
    while (!idling) {
        ImapResponse response;
        if (ReadResponse(response) != Read::Response)
            return Refuse(ReplyText, kErrIdle);
        if (response.kind == ImapResponse::Kind::Tagged) {
            ReplyText = response.tag == tag ? response.text : "Protocol error: no IDLE answer.";
            return Refuse(ReplyText, kErrIdle);
        }
        if (response.kind == ImapResponse::Kind::Untagged)
            Untagged(response);
        watch(response);
    }
    while (!stop && !AbortRequested && Connected) {
        ImapResponse response;
        const Read read = ReadResponse(response, until);
        if (read == Read::Quiet)
            break;
        if (read == Read::Broken)
            return Refuse(ReplyText, kErrIdle);
        if (response.kind != ImapResponse::Kind::Untagged)
            return Refuse("Protocol error: the server ended IDLE on its own.", kErrIdle);
        Untagged(response);
        watch(response);
    }
    if (!Connected)
        return false;
    SendLine("DONE");
    if (!Await(tag, watch)) {
        ReportError(kErrIdle, this);
        return false;
    }
    return true;
}

void TQelIMAP::Logout() {
    if (!Connected)
        return;
    m_loggingOut = true;
    const bool done = Run("LOGOUT", kErrQuit);
    m_loggingOut = false;
    if (!done)
        return;
    m_socket.Close();
    Connected = false;
    LoggedIn = false;
}

void TQelIMAP::StartTimeLimit() {
    m_socket.Deadline = m_socket.NowMs() + TimeOut;
}

void TQelIMAP::EndTimeLimit() {
    m_socket.Deadline = TQelSocket::kNoDeadline;
}

}  // namespace mail
