#pragma once
// TQelIMAP: the IMAP4rev1 client (RFC 3501, IDLE of RFC 2177, UID EXPUNGE of RFC 4315) on the
// same socket, limits and failure path as the POP3 client. It opens one folder, counts its
// unseen (or all) messages by UID, reads headers and whole messages without setting \Seen,
// deletes one message by UID and waits in IDLE for the server's news. Untagged answers are
// taken in whatever order they come; a refusal, a broken answer or a BYE ends the session
// through OnError like a POP3 failure.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mail/ImapResponse.h"
#include "mail/QelClient.h"
#include "mail/QelMsg.h"
#include "mail/QelPOP3.h"

namespace mail {

class TQelIMAP final : public TQelClient {
public:
    // A literal may be as large as a POP3 message, and must come as fast.
    static constexpr std::int64_t kMaxMessageSize = TQelPOP::kMaxMessageSize;
    static constexpr std::int64_t kMinBytesPerTimeOut = TQelPOP::kMinBytesPerTimeOut;
    static constexpr std::int64_t kMinBytesPerSecond = TQelPOP::kMinBytesPerSecond;
    // A response's text without its literals (a SEARCH of a large folder is long).
    static constexpr std::size_t kMaxResponseText = 4 * 1024 * 1024;

    // Error numbers passed to OnError, as the POP3 client's; any other number is a platform
    // socket error code.
    static constexpr int kErrLogin = TQelPOP::kErrLogin;
    static constexpr int kErrQuit = TQelPOP::kErrQuit;
    static constexpr int kErrDelete = TQelPOP::kErrDelete;
    static constexpr int kErrRetrieve = TQelPOP::kErrRetrieve;
    static constexpr int kErrStat = TQelPOP::kErrStat;
    static constexpr int kErrIdle = 2007;
    static constexpr std::uint16_t kImapPort = 143;
    static constexpr std::uint16_t kImapsPort = 993;

    TQelIMAP(TransportFactory& factory, platform::EventPump& pump,
             Clock& clock = SteadyClock::Instance());

    bool LoggedIn = false;
    // The folder open now (as given, UTF-8) and what the server said of it.
    std::string Folder;
    std::uint32_t Exists = 0;
    std::uint32_t UidValidity = 0;
    std::uint32_t UidNext = 0;
    // The count of the last GetMailCount, and the UIDs it counted (ascending; empty when it
    // counted all by EXISTS).
    std::uint32_t MessageCount = 0;
    std::vector<std::uint32_t> Uids;
    // The status word of the last tagged answer that refused a command (NO or BAD), else empty.
    std::string ReplyStatus;

    // Opens the connection and reads the greeting; a PREAUTH greeting logs in at once.
    void Connect();
    // TLS as Security asks, then LOGIN, AUTHENTICATE PLAIN (for what LOGIN cannot carry) or,
    // with OAuthCommand, AUTHENTICATE XOAUTH2. The password is sent and dropped. Raises
    // MailError "Invalid Op. Not connected." without a connection.
    bool Login(const std::string& user, const std::string& password);
    // EXAMINE (read-only, for counting and reading) or SELECT (for deleting) of the folder.
    // Both raise MailError "Not connected." without a connection, as do all below.
    bool Examine(const std::string& folder);
    bool Select(const std::string& folder);
    // The UIDs that UID SEARCH finds for the criteria (e.g. "UNSEEN", "ALL"), ascending.
    std::vector<std::uint32_t> Search(const std::string& criteria);
    // MessageCount of the open folder: its unseen messages by UID SEARCH UNSEEN, else EXISTS.
    void GetMailCount(bool unseenOnly);
    // The header (with RFC822.SIZE as Size) or the whole message by UID; neither sets \Seen.
    // A refused or broken fetch, or a UID that is not there, returns an empty message.
    std::unique_ptr<TQelMsg> FetchHeader(std::uint32_t uid);
    std::unique_ptr<TQelMsg> FetchMessage(std::uint32_t uid);
    // Flags the message \Deleted and expunges it: with UIDPLUS by UID EXPUNGE; without, by
    // EXPUNGE only when no other message carries \Deleted (else refused, nothing changed).
    // Needs the folder opened by Select.
    bool DeleteMessage(std::uint32_t uid);
    // IDLE on the open folder for up to ms: onExists gets each new EXISTS count and ends the
    // wait by returning true. Then DONE. False (reported) without IDLE or on a failure.
    bool Idle(std::uint32_t ms, const std::function<bool(std::uint32_t exists)>& onExists);
    void Logout();
    // Whether the last CAPABILITY names it (upper case, e.g. "IDLE", "AUTH=PLAIN").
    bool Offers(const std::string& capability) const;
    // Asks for the capabilities anew (a greeting need not list them).
    bool AskCapabilities();
    // A run of operations that must end as a whole within TimeOut of StartTimeLimit.
    void StartTimeLimit();
    void EndTimeLimit();

private:
    // What reading a response came to.
    enum class Read { Response, Quiet, Broken };
    // Handles a response that is not the awaited tagged one; true when it was taken.
    using Handler = std::function<bool(ImapResponse&)>;

    std::string SendCommand(const std::string& command, const std::string& masked = {});
    void SendLine(const std::string& line, const std::string& masked = {});
    // Starts the time bound of a command's answers: all of them within TimeOut and a second
    // for every so many literal bytes announced.
    void StartAnswer();
    // One response within the command's time bounds; with quietUntil, a silence lasting to
    // that time is Quiet rather than a failure.
    Read ReadResponse(ImapResponse& response, std::int64_t quietUntil = 0);
    // Reads up to the tagged answer of tag, passing other responses to the common handling
    // and to handler. True for OK; else Failed and ReplyText say why.
    bool Await(const std::string& tag, const Handler& handler = {});
    // Sends the command, awaits it, and reports a failure with error.
    bool Run(const std::string& command, int error, const Handler& handler = {},
             const std::string& masked = {});
    void Untagged(const ImapResponse& response);
    bool Broken(const std::string& text);
    bool Refuse(const std::string& text, int error);
    void RequireConnection() const;
    bool Open(const std::string& command, const std::string& folder);
    std::unique_ptr<TQelMsg> Fetch(std::uint32_t uid, const std::string& section);
    bool SecureForLogin();
    bool Authenticate(const std::string& mechanism, const std::string& response);
    void ReportError(int error, TObject* sender) override;
    int OpenFailed(const SocketError& error) override;

    ImapReader m_reader{kMaxResponseText, kMaxMessageSize};
    std::vector<char> m_receive;
    std::vector<std::string> m_capabilities;
    std::string m_bye;
    bool m_loggingOut = false;
    bool m_readOnly = true;
    std::int64_t m_answerStart = 0;
    std::int64_t m_literalsBefore = 0;
    std::uint32_t m_nextTag = 0;
};

}  // namespace mail
