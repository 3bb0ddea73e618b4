#pragma once
// A POP3 mailbox on the server side of the mail clients' transport seam: it answers USER,
// PASS, STAT, LAST, LIST, TOP, RETR, DELE, UIDL and QUIT as a server does, so the real
// TQelPOP can be driven against messages a test adds and removes. Deletions take effect at
// QUIT, as on a real server; a session that ends otherwise leaves the mailbox unchanged.
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "mail/QelTransport.h"

namespace testsupport {

class Pop3Mailbox {
public:
    // A message as the server stores it: CRLF line ends.
    struct Message {
        std::string raw;
        std::string uidl;
    };

    // Adds a message (LF or CRLF line ends) at the end of the mailbox; returns its number.
    int Add(const std::string& raw);
    // Removes message n (1-based) at once, as another client would between two sessions.
    void Remove(int n);
    int Count() const { return static_cast<int>(messages.size()); }
    // The CRLF text the server holds for message n.
    const std::string& Raw(int n) const { return messages.at(static_cast<std::size_t>(n - 1)).raw; }

    // Fills the mailbox with count small messages in place of what it held.
    void Fill(int count);

    std::vector<Message> messages;
    // The login accepted; an empty user accepts any user name with the password.
    std::string user = "bob";
    std::string password = "secret";
    // Empty: the server closes the connection without a word.
    std::string greeting = "+OK POP3 ready";
    // The connection is reset where the greeting would come.
    bool resetAtGreeting = false;
    // The server accepts the connection and never answers; each wait moves clock (when set) on
    // by its slice, so the client's time-out comes without real waiting.
    bool silent = false;
    FakeClock* clock = nullptr;
    // LAST answered with "+OK 0" when true, refused as most servers do when false.
    bool lastSupported = false;
    // The CAPA answer's lines; empty: CAPA is refused, as by a server from before it.
    std::vector<std::string> capabilities;
    // UIDL (with or without a number) is refused when false.
    bool uidlSupported = true;
    // The unique id the next added message gets; ids are never used twice.
    int nextUid = 1000;
    // The connection is refused with this platform code (0 accepts).
    int refuseConnect = 0;
    // Each read hands the client at most this many bytes: a big message arrives in pieces.
    std::size_t chunkSize = 1024;
    // The connection drops after this many bytes of a RETR or TOP answer (0: never).
    std::size_t dropAfterBytes = 0;

    // Every command line received, without its CRLF, in order (PASS shown as "PASS ****").
    std::vector<std::string> commands;
    int sessions = 0;
    // Runs when a command arrives, before it is answered; may change the mailbox or refuse it.
    // Returning a non-empty text answers the command with that line instead.
    std::function<std::string(const std::string& command)> onCommand;
};

// Makes one server-side session of the mailbox per connection the client opens.
class Pop3MailboxFactory final : public mail::TransportFactory {
public:
    explicit Pop3MailboxFactory(Pop3Mailbox& mailbox) : m_mailbox(mailbox) {}
    std::unique_ptr<mail::Transport> Create() override;

private:
    Pop3Mailbox& m_mailbox;
};

// Several servers, one mailbox per host name: each connection reaches the mailbox of the host
// the client aims at, and a host without a mailbox refuses the connection.
class Pop3Servers final : public mail::TransportFactory {
public:
    Pop3Mailbox& operator[](const std::string& host) { return hosts[host]; }
    std::unique_ptr<mail::Transport> Create() override;
    // Connection attempts that reached a port, refused ones included.
    int Connects() const;

    std::map<std::string, Pop3Mailbox> hosts;
    // Every host's connection attempts ("connect HOST:PORT") and commands, in order.
    std::vector<std::string> log;
};

// The CRLF form of a text with LF or CRLF line ends.
std::string WithCrLf(const std::string& text);

}  // namespace testsupport
