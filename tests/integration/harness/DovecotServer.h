#pragma once
// A private Dovecot POP3 and IMAP server on 127.0.0.1 for tests: its own config, one
// passwd-file user and a Maildir in a temporary folder. Messages added before a session are
// seen by it; an IMAP session in IDLE hears of them within a second or so.
#include <cstdint>
#include <memory>
#include <string>

#include "ServerProcess.h"

namespace mail {
class TQelPOP;
class TQelIMAP;
}

namespace harness {

class DovecotServer {
public:
    // Writes the config and starts Dovecot; throws std::runtime_error when it does not answer.
    // With tls, a self-signed certificate is made: the POP3 port offers STLS and PopsPort()
    // speaks POP3S; the IMAP port offers STARTTLS and ImapsPort() speaks IMAPS.
    explicit DovecotServer(bool tls = false);
    ~DovecotServer();
    DovecotServer(const DovecotServer&) = delete;
    DovecotServer& operator=(const DovecotServer&) = delete;

    // Drops a raw message (CRLF or LF lines) into the Maildir; messages are numbered in the
    // order they were added; a seen one is flagged \Seen. Returns the file name.
    std::string AddMessage(const std::string& raw, bool seen = false);
    // Number of messages left in the Maildir (new and cur).
    int MessageFiles() const;
    // Number of them flagged \Seen.
    int SeenMessageFiles() const;
    // Flags the message of that file name \Seen, as another reader would.
    void MarkSeen(const std::string& fileName);
    // Drops the Maildir's UID list and indexes: the next session numbers the messages anew
    // under a new UIDVALIDITY.
    void RenumberUids();

    std::uint16_t Port() const { return m_port; }
    std::uint16_t PopsPort() const { return m_popsPort; }
    std::uint16_t ImapPort() const { return m_imapPort; }
    std::uint16_t ImapsPort() const { return m_imapsPort; }
    const std::string& Fingerprint() const { return m_fingerprint; }
    const std::string& User() const { return m_user; }
    const std::string& Pass() const { return m_pass; }
    // The bearer token that AUTH XOAUTH2 accepts for User(); the password does not.
    static std::string Token() { return "vorla-pop-token"; }
    const std::string& Folder() const { return m_folder; }
    // Points a POP3 client at the plain port on 127.0.0.1; User() and Pass() log it in.
    void PointAt(mail::TQelPOP& pop) const;
    // The same for an IMAP client and the plain IMAP port.
    void PointAt(mail::TQelIMAP& imap) const;
    // Accounts.ini's section of account 1, "Dove", on the plain port with the user and the
    // scrambled password.
    std::string DoveAccount() const;
    // The same for account number, with the name and port, and the further key lines.
    std::string Account(int number, const std::string& name, std::uint16_t port,
                        const std::string& keys = "") const;
    void Stop();

private:
    std::string m_folder;
    std::string m_baseDir;
    std::string m_user = "vorla";
    std::string m_pass = "vorla-pass";
    std::uint16_t m_port = 0;
    std::uint16_t m_popsPort = 0;
    std::uint16_t m_imapPort = 0;
    std::uint16_t m_imapsPort = 0;
    std::string m_fingerprint;
    int m_added = 0;
    std::unique_ptr<ServerProcess> m_process;
};

// Removes a folder tree; quiet when it is gone already.
void RemoveTree(const std::string& path);
// A new folder under $TMPDIR (or /tmp) with the prefix; mode 755.
std::string MakeTempFolder(const std::string& prefix);

}  // namespace harness
