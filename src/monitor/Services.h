#pragma once
// The components the main window drives, seen through the operations it uses. The desktop
// program gives adapters over TQelPOP, TRASControl, THTTPGet and its timers; tests give fakes.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "mail/QelMsg.h"

namespace monitor {

// Raised by a POP3 call made without a connection; what() is the client's text. Reported()
// tells that the client's error event has reported the failure already (a broken connection).
class PopError : public std::runtime_error {
public:
    explicit PopError(const std::string& text, bool reported = false)
        : std::runtime_error(text), m_reported(reported) {}
    bool Reported() const { return m_reported; }

private:
    bool m_reported;
};

// The server's unique ids by message number: ids[n - 1] names message n of the last count.
// Refused: the server does not know UIDL. Broken: the connection failed or the list did not
// match the count; the client has reported it.
struct UniqueIdList {
    enum class Outcome { Listed, Refused, Broken };
    Outcome outcome = Outcome::Refused;
    std::vector<std::string> ids;
    // What the ids are valid under: empty for POP3, the folder's UIDVALIDITY for IMAP. When it
    // changes, the ids seen before name other messages or none.
    std::string validity;
};

// The POP3 client `POP`, shared by the check and the message window; an IMAP folder is served
// through it as a POP3 mailbox (see SetMailbox). Calls block and pump window messages while
// they wait; failures are reported through OnError and Failed, as the client does, and a broken
// or aborted connection also raises PopError out of the call, as does a call made without a
// connection.
class PopClient {
public:
    virtual ~PopClient() = default;
    virtual void SetServer(const std::string& host, const std::string& port) = 0;
    // The account's security: tls_mode, pinned fingerprint and token command as stored.
    virtual void SetSecurity(const std::string& /*tlsMode*/, const std::string& /*fingerprint*/,
                             const std::string& /*oauthCommand*/) {}
    // The account's mailbox: protocol "pop3" or "imap" and, for IMAP, the folder and whether
    // every message counts (else the unseen ones). A client of one protocol ignores it.
    virtual void SetMailbox(const std::string& /*protocol*/, const std::string& /*folder*/,
                            bool /*countAll*/) {}
    virtual void Connect() = 0;
    // The password goes with the call that sends it; the client keeps neither.
    virtual bool Login(const std::string& user, const std::string& password) = 0;
    virtual void GetMailCount() = 0;
    // The message window's fetches and delete, by message number.
    virtual std::unique_ptr<mail::TQelMsg> RetrieveTop(std::uint32_t index,
                                                       std::uint32_t lines) = 0;
    virtual std::unique_ptr<mail::TQelMsg> RetrieveMessage(std::uint32_t index) = 0;
    virtual void DeleteMessage(std::uint32_t index) = 0;
    // Whether the server's CAPA answer lists the capability; asked once a session.
    virtual bool CapabilityListed(const std::string& /*capability*/) { return false; }
    // UIDL without argument, for the messages of the last count.
    virtual UniqueIdList ListUniqueIds() { return {}; }
    // Does nothing when no session is open.
    virtual void Quit() = 0;
    // The last reply was a refusal; after GetMailCount this may be only the optional LAST.
    virtual bool Failed() const = 0;
    // A session is open; the failure path of a refused command closes it.
    virtual bool Connected() const = 0;
    virtual int MessageCount() const = 0;
    virtual std::string ReplyStatus() const = 0;
    virtual std::string ReplyText() const = 0;
    // Asks the running call to stop: its wait ends at once through the failure path. The
    // request lasts until the next Connect, which clears it.
    virtual void Abort() = 0;
    // Between the two, every wait ends within the time-out counted from StartTimeLimit, so a
    // run of calls (a whole check) gives up within it too.
    virtual void StartTimeLimit() {}
    virtual void EndTimeLimit() {}

    // Error event: (error number, text).
    std::function<void(int, const std::string&)> OnError;
    // Retrieval progress of the message window's fetch, in percent.
    std::function<void(unsigned)> OnRetrieveProgress;
};

// For the life of the scope every wait of the client ends within its time-out counted from
// the scope's start: a whole check gives up within the time-out, however the server stalls.
class PopTimeLimit {
public:
    explicit PopTimeLimit(PopClient& pop) : m_pop(pop) { m_pop.StartTimeLimit(); }
    ~PopTimeLimit() { m_pop.EndTimeLimit(); }
    PopTimeLimit(const PopTimeLimit&) = delete;
    PopTimeLimit& operator=(const PopTimeLimit&) = delete;

private:
    PopClient& m_pop;
};

// A dial-up failure; what() is the control's text.
class DialUpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The dial-up control `RASC`. Every failure raises DialUpError.
class DialUp {
public:
    // The platform's state code of a connected entry.
    static constexpr int kConnected = 8192;
    static constexpr int kDisconnected = 8193;

    virtual ~DialUp() = default;
    virtual void RefreshEntries() = 0;
    virtual std::vector<std::string> Entries() const = 0;
    virtual void Dial(int index) = 0;
    virtual void HangUp(int index) = 0;
    // The connection state code of the entry with that name.
    virtual int ConnectionState(const std::string& entryName) = 0;
    virtual std::string LastError() const = 0;
};

// The HTTP download component `GetNews`: DownloadFile returns once the download has ended,
// after OnDoneFile (file name, declared size) when it succeeded.
class HttpDownloader {
public:
    // The largest file a download may bring; the feed reads no more of a file than this.
    static constexpr std::int64_t kSizeLimit = 1024 * 1024;

    virtual ~HttpDownloader() = default;
    virtual void DownloadFile(const std::string& url, const std::string& fileName) = 0;

    std::function<void(const std::string&, long long)> OnDoneFile;
};

// A timer seen as a switch: the check timer `Timer` and the ticker timer `Scroll`.
class TimerSwitch {
public:
    virtual ~TimerSwitch() = default;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetInterval(int milliseconds) = 0;
};

// The message window as the main window hands over to it.
class MessageWindow {
public:
    virtual ~MessageWindow() = default;
    virtual bool IsVisible() = 0;
    // Prepares the window on a message of the open session, as TMsgList::DisplayMessage does
    // with forceRead; raises std::exception with the text to show when the first fetch fails.
    virtual void DisplayMessage(int index, bool forceRead) = 0;
    // Shows the window modally and returns when it is closed.
    virtual void ShowModal() = 0;
    // Size of the message object the window holds now, in bytes.
    virtual long long CurrentMessageSize() = 0;
};

// The main window as the message window calls it.
// A window's left and top on the screen.
struct ScreenPoint {
    int Left = 0;
    int Top = 0;
};

class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;
    // Where the main window is now; its size is the skin's background.
    virtual ScreenPoint Place() = 0;
    // Draws a text into the main window's status line.
    virtual void DrawStatus(const std::string& text) = 0;
    // The main window's CheckNextAccount: with false, shows CurrentAccount again from
    // WaitingCount without network traffic.
    virtual void CheckNextAccount(bool check) = 0;
};

}  // namespace monitor
