#pragma once
// The mailbox client the check and the message window share: it serves each account by its
// protocol, through the POP3 or the IMAP client, as the last SetMailbox chose.
#include <string>

#include "monitor/Services.h"

namespace app {

// Borrows both clients and takes over their events.
class MailboxClient final : public monitor::PopClient {
public:
    MailboxClient(monitor::PopClient& pop3, monitor::PopClient& imap);
    // Server and security go to both clients, whichever order the mailbox comes in.
    void SetServer(const std::string& host, const std::string& port) override;
    void SetSecurity(const std::string& tlsMode, const std::string& fingerprint,
                     const std::string& oauthCommand) override;
    // Any protocol but "imap" is POP3.
    void SetMailbox(const std::string& protocol, const std::string& folder, bool countAll) override;
    void Connect() override { m_current->Connect(); }
    bool Login(const std::string& user, const std::string& password) override;
    void GetMailCount() override { m_current->GetMailCount(); }
    std::unique_ptr<mail::TQelMsg> RetrieveTop(std::uint32_t index, std::uint32_t lines) override;
    std::unique_ptr<mail::TQelMsg> RetrieveMessage(std::uint32_t index) override;
    void DeleteMessage(std::uint32_t index) override { m_current->DeleteMessage(index); }
    bool CapabilityListed(const std::string& capability) override;
    monitor::UniqueIdList ListUniqueIds() override { return m_current->ListUniqueIds(); }
    void Quit() override { m_current->Quit(); }
    bool Failed() const override { return m_current->Failed(); }
    bool Connected() const override { return m_current->Connected(); }
    int MessageCount() const override { return m_current->MessageCount(); }
    std::string ReplyStatus() const override { return m_current->ReplyStatus(); }
    std::string ReplyText() const override { return m_current->ReplyText(); }
    // Both clients, and both time limits: a switch of protocol in between leaves none set.
    void Abort() override;
    void StartTimeLimit() override;
    void EndTimeLimit() override;

private:
    monitor::PopClient& m_pop3;
    monitor::PopClient& m_imap;
    monitor::PopClient* m_current;
};

}  // namespace app
