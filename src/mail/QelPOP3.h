#pragma once
// TQelPOP: the POP3 client (RFC 1939). It keeps the counts of the last STAT, retrieves
// messages into one buffer in large blocks and parses them in place into a TQelMsg, and reports
// refusals and broken connections through OnError and the Failed/Connected flags. Security's
// StartTls is STLS before the login; Auto takes TLS from the first byte on port 995.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mail/QelClient.h"
#include "mail/QelMsg.h"
#include "mail/TlsTransport.h"

namespace mail {

using TOnBeforeRetrieve = std::function<void(TObject* sender, std::uint32_t msgIndex)>;
using TOnDeleteEvent = std::function<void(TObject* sender, std::uint32_t msgIndex)>;

// One POP3 reply chunk read apart: the status word, the rest of its first line, whether it is
// a refusal, and whether it is a POP3 reply at all (it begins with "+OK" or "-ERR").
struct TPopReply {
    std::string Status;
    std::string Text;
    bool Failed = false;
    bool Valid = false;
};
TPopReply ParsePopReply(const std::string& chunk);

// The answer to a UIDL without argument. Refused: the server said "-ERR" (nothing reported).
// Broken: the connection failed or the list does not name every message of the last STAT
// exactly once (reported through OnError).
struct TUidlList {
    enum class TOutcome { Listed, Refused, Broken };
    TOutcome Outcome = TOutcome::Broken;
    std::vector<std::string> Ids;
};

class TQelPOP final : public TQelClient {
public:
    // Bounds that no real server reaches and a hostile one cannot pass; each ends the operation
    // through the failure path with a text that says which was passed.
    static constexpr std::size_t kMaxStatusLine = 8 * 1024;
    static constexpr std::int64_t kMaxHeaderPreview = 1024 * 1024;
    static constexpr std::int64_t kMaxMessageSize = 256LL * 1024 * 1024;
    // A multi-line answer must move at least this many bytes in every TimeOut.
    static constexpr std::int64_t kMinBytesPerTimeOut = 1024;
    // A message answer may exceed the size that LIST (or STAT) announced by a tenth and this.
    static constexpr std::int64_t kOverSizeSlack = 64 * 1024;
    // A retrieval ends within TimeOut and a second for every so many bytes announced.
    static constexpr std::int64_t kMinBytesPerSecond = 2048;
    // A UIDL list of more bytes is broken; this is room for about 200,000 messages.
    static constexpr std::size_t kMaxUidlList = 16 * 1024 * 1024;
    // RFC 1939 allows 70 characters; a longer id is taken as a broken list.
    static constexpr std::size_t kMaxUidlLength = 512;

    // Error numbers passed to OnError; any other number is a platform socket error code.
    static constexpr int kErrLogin = 2001;
    static constexpr int kErrQuit = 2002;
    static constexpr int kErrDelete = 2003;
    static constexpr int kErrRetrieve = 2004;
    static constexpr int kErrStat = 2006;
    static constexpr std::uint16_t kPop3sPort = 995;
    // Longest command line, CR LF included (RFC 2449); a longer AUTH initial response is sent
    // on a line of its own after the server's "+" (RFC 5034).
    static constexpr std::size_t kMaxCommandLine = 255;

    // The factory makes the connection at Connect; nothing is opened here.
    TQelPOP(TransportFactory& factory, platform::EventPump& pump,
            Clock& clock = SteadyClock::Instance());

    std::string StrErrorInFormatOfMsg = "Error en el formato del mensaje.";
    std::uint16_t RetrieveProgressStep = 10;
    bool GetUIDLsOnRetrieve = false;

    TOnBeforeRetrieve OnBeforeRetrieve;
    TNotifyEvent OnAfterRetrieve;
    TOnCodeProgressEvent OnRetrieveProgress;
    TOnDeleteEvent OnDelete;
    // OnSendTextToSocket traces the PASS and AUTH commands with the secret masked.

    bool LoggedIn = false;
    std::string ReplyStatus;
    std::uint32_t MessageCount = 0;
    // Octets of the whole mailbox from the last STAT; -1 when not known (before a STAT).
    std::int64_t MailboxOctets = -1;
    std::int64_t NewMessageCount = 0;
    bool LastSupported = false;
    StringList DeletedList;

    void Connect();
    // Raises MailError "Invalid Op. Not connected." without a connection.
    // The password is sent and dropped; the client keeps no credentials.
    bool Login(const std::string& user, const std::string& password);
    void GetMailCount();
    // Asks CAPA on an open session: whether the server lists the capability ("STLS").
    bool HasCapability(const std::string& capability);
    void Quit();
    // Raises MailError "Not connected." without a connection.
    void DeleteMessage(std::uint32_t msgIndex);
    // Both raise MailError "Not connected." without a connection. The message belongs to the
    // caller. A refused or broken retrieval returns an empty, unparsed message.
    std::unique_ptr<TQelMsg> RetrieveMessage(std::uint32_t msgIndex);
    std::unique_ptr<TQelMsg> RetrieveTop(std::uint32_t msgIndex, std::uint32_t lines);
    std::string GetUIDL(std::uint32_t msgIndex);
    // Whether the server's CAPA answer lists the capability; CAPA is asked once a session.
    bool CapabilityListed(const std::string& capability);
    // The whole UIDL list: Ids[n - 1] is the unique id of message n of the last STAT.
    TUidlList GetUIDLList();
    // A run of operations (a check: Connect, Login, GetMailCount, Quit) that must end as a
    // whole within TimeOut of StartTimeLimit: every wait until EndTimeLimit ends by then.
    void StartTimeLimit();
    void EndTimeLimit();

    std::uint16_t LastPercent() const { return m_progress.LastPercent(); }

private:
    // masked replaces the command in the trace; PASS and AUTH XOAUTH2 lines are masked anyway.
    void SendCommand(const std::string& command, const char* masked = nullptr);
    // Reads until the status line is complete and returns everything read. A refusal sets
    // Failed; so does a reply that is no POP3 reply (see Broken()).
    std::string ReadReply();
    // The last reply was no reply at all: the connection closed, the status line was too long
    // or began with neither "+OK" nor "-ERR". Unlike a refusal it is always reported.
    bool Broken() const { return m_broken; }
    void ReportError(int error, TObject* sender) override;
    int OpenFailed(const SocketError& error) override;
    std::unique_ptr<TQelMsg> Retrieve(std::uint32_t msgIndex, bool top, std::uint32_t lines);
    // What a RETR or TOP answer may be, from the size the LIST just answered (else the STAT
    // total) announced: its most bytes, the failure's text past them, and the time it may
    // take beyond TimeOut, however the bytes trickle in.
    struct AnswerBounds {
        std::int64_t MaxBytes;
        const char* TooLarge;
        std::int64_t ExtraMs;
    };
    AnswerBounds BoundsOfAnswer(bool preview) const;
    std::unique_ptr<TQelMsg> RetrieveFailed(const std::string& text);
    // TLS before credentials as Security asks; false (reported) when the login must not go on.
    bool SecureForLogin();
    // Asks CAPA and keeps the answer's lines; false (nothing kept) for a server without CAPA
    // or a broken answer.
    bool AskCapabilities();
    bool Offers(const std::string& capability) const;
    // Whether the SASL line of the capabilities names the mechanism; true without a SASL line.
    bool OffersSasl(const std::string& mechanism) const;
    bool LoginXOAuth2(const std::string& user);
    bool Refuse(const std::string& text);
    // Reads a multi-line answer whose status line is first until its terminator, within
    // limit bytes and the low-speed bound; false (nothing reported) when it did not complete.
    bool ReadToTerminator(std::string& answer, std::size_t limit);

    TProgressStepper m_progress;
    bool m_broken = false;
    // The CAPA answer of this session; after STLS only the one given over TLS.
    StringList m_capabilities;
    bool m_capabilitiesAsked = false;
};

}  // namespace mail
