#include "mail/QelSMTP.h"

#include <algorithm>
#include <ctime>

#include "mail/TokenCommand.h"
#include "platform/Secrets.h"

namespace mail {

namespace {

// A bare address fits between the angle brackets of MAIL FROM and RCPT TO only when it holds
// no bracket, blank or control character: "x@y> NOTIFY=..." would add parameters of its own.
void CheckAddress(const std::string& address) {
    for (const char c : address) {
        const auto code = static_cast<unsigned char>(c);
        if (code <= 32 || code == 127 || c == '<' || c == '>')
            throw MailError("\"" + OneLine(address) + "\" is not a valid address.");
    }
}

bool IsReplyCode(const std::string& text) {
    return text.size() == 3 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A reply line (CR LF included) that ends its reply: a bare code or a code and a blank.
bool IsFinalLine(const std::string& line) {
    const std::size_t length = line.size() - 2;
    return length == 3 || (length > 3 && line[3] == ' ');
}

}  // namespace

TQelSMTP::TQelSMTP(TransportFactory& factory, platform::EventPump& pump, Clock& clock)
    : TQelClient(factory, pump, clock, 25, kSmtpsPort) {}

int TQelSMTP::OpenFailed(const SocketError& error) {
    // Reported, so a caller that shows OnError texts can say why nothing was sent.
    ReplyCode.clear();
    return error.Code;
}

int TQelSMTP::ReplyError() const {
    return IsReplyCode(ReplyCode) ? std::stoi(ReplyCode) : kErrClosed;
}

void TQelSMTP::SendCommand(const std::string& command, const char* masked) {
    m_pump.ProcessMessages();
    m_socket.SendBuf(command);
    if (OnSendTextToSocket)
        OnSendTextToSocket(this, masked ? std::string(masked) + "\r\n" : command);
}

std::string TQelSMTP::ReadReply() {
    // Lines are assembled across reads, so a line split by the network keeps its code; a bare
    // code ("250") is a final line as much as "250 text" is. Each byte is searched once and
    // only the unfinished line is kept, and the whole reply must come within TimeOut.
    const std::int64_t deadline = m_socket.NowMs() + TimeOut;
    std::string pending;
    std::size_t scanFrom = 0;
    std::size_t lines = 0;
    char buffer[TQelSocket::kReceiveSize];
    m_replyLines.clear();
    for (;;) {
        m_pump.ProcessMessages();
        if (AbortRequested)
            return Broken("Aborted.");
        const std::size_t n = m_socket.ReceiveBuf(buffer, sizeof buffer, deadline);
        if (n == 0)
            return Broken(kClosedByServer);
        pending.append(buffer, n);
        std::size_t lineStart = 0;
        std::size_t eol;
        while ((eol = pending.find("\r\n", scanFrom)) != std::string::npos) {
            std::string line = pending.substr(lineStart, eol + 2 - lineStart);
            lineStart = scanFrom = eol + 2;
            m_replyLines.push_back(line.size() > 4 ? Trim(line.substr(4)) : "");
            if (TakeReplyLine(line)) {
                m_pump.ProcessMessages();
                if (OnReceiveTextFromSocket)
                    OnReceiveTextFromSocket(this, line);
                return line;
            }
            if (++lines >= kMaxReplyLines)
                return Broken("The server's reply has more than 1000 lines.");
        }
        pending.erase(0, lineStart);
        if (pending.size() > kMaxReplyLine)
            return Broken("The server's reply line is longer than 8 KB.");
        // A CR at the end may begin the next CR LF.
        scanFrom = pending.empty() ? 0 : pending.size() - 1;
    }
}

bool TQelSMTP::TakeReplyLine(const std::string& line) {
    ReplyCode = Trim(line.substr(0, 3));
    ReplyText = line.size() > 3 ? Trim(line.substr(3, 64)) : "";
    return IsFinalLine(line);
}

void TQelSMTP::SocketFailed(TQelSocket& socket, int code) {
    // A server that ends the session while we send (a 421 in the middle of the DATA) says so
    // before it closes: its reply is the reason, the reset that our send met only the result.
    const std::string& unread = socket.UnreadAtSendFailure();
    std::string finalLine;
    for (std::size_t start = 0, eol; (eol = unread.find("\r\n", start)) != std::string::npos;
         start = eol + 2) {
        std::string line = unread.substr(start, eol + 2 - start);
        if (IsReplyCode(line.substr(0, 3)) && IsFinalLine(line))
            finalLine = std::move(line);
    }
    if (finalLine.empty()) {
        TQelClient::SocketFailed(socket, code);
        return;
    }
    TakeReplyLine(finalLine);
    if (OnReceiveTextFromSocket)
        OnReceiveTextFromSocket(this, finalLine);
    ReportError(ReplyError(), this);
}

std::string TQelSMTP::Broken(const char* text) {
    ReplyCode.clear();
    ReplyText = text;
    Failed = true;
    if (OnReceiveTextFromSocket)
        OnReceiveTextFromSocket(this, "");
    return "";
}

bool TQelSMTP::Expect(const char* code) {
    if (!Failed)
        Failed = ReplyCode != code;
    return !Failed;
}

void TQelSMTP::Connect(const std::string& user, const std::string& password) {
    // The reply reader stops at an abort; one left over from the last session must not stop
    // this one.
    AbortRequested = false;
    m_extensions.clear();
    if (!OpenConnection())
        return;
    while (!Connected)
        m_pump.ProcessMessages();
    ReadReply();
    if (!Expect("220")) {
        ReportError(ReplyError(), this);
        return;
    }
    if (!Greet())
        ReportError(ReplyError(), this);
    else if (SecureSession())
        Authenticate(user, password);
    AbortRequested = false;
}

bool TQelSMTP::Greet() {
    const std::string name = OneLine(m_socket.LocalHost());
    SendCommand("EHLO " + name + "\r\n");
    ReadReply();
    if (ReplyCode == "250") {
        m_extensions = m_replyLines;
        return true;
    }
    if (ReplyCode.empty())
        return false;  // closed or aborted: nothing to fall back on
    // A server that knows no ESMTP refuses EHLO; HELO is what it understands.
    m_extensions.clear();
    SendCommand("HELO " + name + "\r\n");
    ReadReply();
    return Expect("250");
}

bool TQelSMTP::Offers(const std::string& keyword) const {
    for (const std::string& line : m_extensions) {
        const std::string word = UpperCase(line.substr(0, line.find_first_of(" =")));
        if (word == keyword)
            return true;
    }
    return false;
}

void TQelSMTP::Refuse(const std::string& text) {
    ReplyCode.clear();
    ReplyText = text;
    ReportError(kErrRefused, this);
}

bool TQelSMTP::SecureSession() {
    if (m_socket.Secure() || Security == TlsMode::Off ||
        (Security == TlsMode::Auto && IsLoopbackHost(Host)))
        return true;
    if (!Offers("STARTTLS")) {
        Refuse(Security == TlsMode::StartTls
                   ? "The SMTP server " + Host +
                         " offers no STARTTLS, which the outgoing server's security requires."
                   : "The SMTP server " + Host +
                         " offers no TLS: nothing is sent in clear. To send without TLS, choose "
                         "the security \"None\" for the outgoing server.");
        return false;
    }
    SendCommand("STARTTLS\r\n");
    ReadReply();
    if (!Expect("220")) {
        ReportError(ReplyError(), this);
        return false;
    }
    try {
        m_socket.StartTls(TlsFingerprint);
    } catch (const SocketError& e) {
        Refuse(e.Text());
        return false;
    }
    // The session starts anew over TLS (RFC 3207): what was offered before counts no more.
    if (!Greet()) {
        ReportError(ReplyError(), this);
        return false;
    }
    return true;
}

bool TQelSMTP::Authenticate(const std::string& user, const std::string& password) {
    if ((user.empty() && OAuthCommand.empty()) || !Offers("AUTH"))
        return true;
    std::string mechanisms;
    for (const std::string& line : m_extensions)
        if (UpperCase(line.substr(0, 5)) == "AUTH " || UpperCase(line.substr(0, 5)) == "AUTH=")
            mechanisms += " " + UpperCase(line.substr(5)) + " ";
    const std::string login = OneLine(user);
    std::string mechanism;
    if (!OAuthCommand.empty()) {
        mechanism = "XOAUTH2";
        std::string token;
        try {
            token = RunTokenCommand(OAuthCommand, TimeOut, m_pump);
        } catch (const MailError& e) {
            Refuse(e.what());
            return false;
        }
        const std::string response = XOAuth2Response(login, OneLine(token));
        const std::string command = "AUTH XOAUTH2 " + response + "\r\n";
        if (command.size() <= kMaxAuthLine) {
            SendCommand(command, "AUTH XOAUTH2 ****");
            ReadReply();
        } else {
            SendCommand("AUTH XOAUTH2\r\n");
            ReadReply();
            if (ReplyCode == "334") {
                SendCommand(response + "\r\n", "****");
                ReadReply();
            }
        }
        if (ReplyCode == "334") {
            // The refusal's details come as a challenge; an empty answer ends the exchange.
            SendCommand("\r\n");
            ReadReply();
        }
    } else if (mechanisms.find(" PLAIN ") != std::string::npos ||
               mechanisms.find(" LOGIN ") == std::string::npos) {
        mechanism = "PLAIN";
        std::string plain = std::string(1, '\0') + login + '\0' + password;
        std::string command = "AUTH PLAIN " + Base64Line(plain) + "\r\n";
        platform::SecureClear(plain);
        SendCommand(command, "AUTH PLAIN ****");
        platform::SecureClear(command);
        ReadReply();
    } else {
        mechanism = "LOGIN";
        SendCommand("AUTH LOGIN\r\n");
        ReadReply();
        if (Expect("334")) {
            SendCommand(Base64Line(login) + "\r\n");
            ReadReply();
        }
        if (Expect("334")) {
            std::string line = Base64Line(password) + "\r\n";
            SendCommand(line, "****");
            platform::SecureClear(line);
            ReadReply();
        }
    }
    // The exchange the mechanism needs is over: a server that still challenges has not let
    // us in, and its challenge is no text for the user.
    if (ReplyCode.size() == 3 && ReplyCode[0] == '3') {
        Refuse("The server refused the login (AUTH " + mechanism + ").");
        return false;
    }
    if (!Expect("235")) {
        ReportError(ReplyError(), this);
        return false;
    }
    return true;
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
    CheckAddress(ExtractAddress(message.From, false));
    for (const std::string* list : {&message.SendTo, &message.CC, &message.BCC})
        for (const std::string& address : SplitAddressList(*list))
            CheckAddress(address);
    message.Date = FormatMailDate(std::time(nullptr));
    std::optional<StringList> lines = BuildMessage(message);
    if (!lines || AbortRequested)
        return false;
    if (OnBeforeSend)
        OnBeforeSend(this);
    // 8-bit data is declared where the server takes it (RFC 6152); a sender that named no
    // charset has had its text encoded where it does not.
    const bool eightBit = std::any_of(lines->begin(), lines->end(), [](const std::string& line) {
        return std::any_of(line.begin(), line.end(),
                           [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    });
    const std::string mailFrom = "MAIL FROM:<" + ExtractAddress(message.From, false) + ">" +
                                 (eightBit && Offers("8BITMIME") ? " BODY=8BITMIME" : "") + "\r\n";
    m_send.Start(SendProgressStep);
    for (const std::string* list : {&message.SendTo, &message.CC, &message.BCC}) {
        if (SendToList(mailFrom, SplitAddressList(*list), *lines) > 0)
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

int TQelSMTP::SendToList(const std::string& mailFrom, const StringList& list,
                         const StringList& lines) {
    if (list.empty())
        return 1;
    SendCommand(mailFrom);
    ReadReply();
    if (!Expect("250"))
        return -1;
    for (const std::string& address : list) {
        SendCommand("RCPT TO:<" + address + ">\r\n");
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
