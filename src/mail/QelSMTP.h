#pragma once
// TQelSMTP: sends one TQelMsg through an SMTP server (RFC 821): HELO, the composed message
// (headers, text, base64 attachments in multipart/mixed) delivered once for each of the To,
// Cc and Bcc lists. Refusals and broken connections are reported through OnError and the
// Failed/Connected flags. Security's StartTls is STARTTLS after EHLO; Auto takes TLS from the
// first byte on port 465.
#include <cstdint>
#include <optional>
#include <string>

#include "mail/QelClient.h"
#include "mail/QelMsg.h"
#include "mail/TlsTransport.h"

namespace mail {

using TOnCodeStartEvent =
    std::function<void(TObject* sender, const std::string& fileName, std::int64_t bytesCount)>;

class TQelSMTP final : public TQelClient {
public:
    // Error number reported when the server closed the connection instead of replying (or
    // replied without a numeric code).
    static constexpr int kErrClosed = 421;
    // Error number of a session refused on our side: no TLS where it is required, a refused
    // certificate, a token command that failed. The text says which.
    static constexpr int kErrRefused = 530;
    // Bounds of one reply that no real server reaches; passing one fails the step like a
    // closed connection, with a text that says which.
    static constexpr std::size_t kMaxReplyLine = 8 * 1024;
    static constexpr std::size_t kMaxReplyLines = 1000;
    // Longest AUTH command line, CR LF included (RFC 4954); a longer initial response is sent
    // on a line of its own after the server's "334".
    static constexpr std::size_t kMaxAuthLine = 12288;

    // The factory makes the connection at Connect; nothing is opened here.
    TQelSMTP(TransportFactory& factory, platform::EventPump& pump,
             Clock& clock = SteadyClock::Instance());

    std::uint16_t EncodeProgressStep = 10;
    std::uint16_t SendProgressStep = 10;
    // Written as X-Mailer.
    std::string ApplicationTitle = "Vorla";

    TNotifyEvent OnBeforeSend;
    TNotifyEvent OnAfterSend;
    TOnCodeStartEvent OnEncodeStart;
    TOnCodeProgressEvent OnEncodeProgress;
    TNotifyEvent OnEncodeEnd;
    TOnSendProgressEvent OnSendProgress;

    std::string ReplyCode;

    // Opens, reads the greeting, sends EHLO (HELO when EHLO is refused), secures the session
    // as Security asks and logs in when the server offers AUTH: PLAIN, or LOGIN where PLAIN is
    // not offered; with OAuthCommand, XOAUTH2 with the first line that command prints. No AUTH
    // without a user. The client keeps neither user nor password. A connection that cannot be
    // opened sets Failed and fires OnError with the platform code and the reason.
    void Connect(const std::string& user = {}, const std::string& password = {});
    // Raises MailError "Not connected.", "\"From\" field not specified.", "\"SendTo\" field
    // not specified." or, before anything is sent, "\"<address>\" is not a valid address." for
    // an address with a bracket, blank or control character; a platform::StreamError when an
    // attachment cannot be read. Returns true
    // when every transaction was accepted; false when one failed (reported) or on an abort.
    bool SendMessage(TQelMsg& message);
    void Quit();

    // The lines of the message as sent (before the terminating dot); nullopt when an abort
    // stopped the composing. Encodes the attachments.
    std::optional<StringList> BuildMessage(TQelMsg& message);

private:
    static constexpr std::uint16_t kSmtpsPort = 465;

    // masked replaces the command in the trace.
    void SendCommand(const std::string& command, const char* masked = nullptr);
    // EHLO, or HELO when EHLO is refused; keeps the extensions the server offers.
    bool Greet();
    bool Offers(const std::string& keyword) const;
    // STARTTLS as Security asks; false (reported) when the session must not go on.
    bool SecureSession();
    bool Authenticate(const std::string& user, const std::string& password);
    // Fails the session with a text of our own.
    void Refuse(const std::string& text);
    // Reads until a final reply line and returns it. A connection that closes, a reply past
    // the bounds above or AbortRequested end it early: ReplyCode empty, ReplyText saying why,
    // Failed set, and "" returned.
    std::string ReadReply();
    // ReplyCode and ReplyText from one reply line (CR LF included); true for a final line.
    bool TakeReplyLine(const std::string& line);
    void SocketFailed(TQelSocket& socket, int code) override;
    int OpenFailed(const SocketError& error) override;
    std::string Broken(const char* text);
    bool Expect(const char* code);
    int ReplyError() const;
    // mailFrom: the whole MAIL FROM command, parameters and CR LF included.
    int SendToList(const std::string& mailFrom, const StringList& list, const StringList& lines);
    bool EncodeAttachment(TAttachedFile& file);

    TProgressStepper m_send;
    TProgressStepper m_encode;
    // Every line of the last reply, and the EHLO lines of the session.
    StringList m_replyLines;
    StringList m_extensions;
};

}  // namespace mail
