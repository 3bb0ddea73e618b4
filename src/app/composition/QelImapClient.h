#pragma once
// The monitor's mailbox client over TQelIMAP: one folder of an IMAP account seen as a POP3
// mailbox. The last count's messages, the unseen ones or all, are numbered 1..N in ascending
// UID order; the numbers keep naming the same messages until the next count.
#include <cstdint>
#include <string>
#include <vector>

#include "app/composition/ComponentAdapters.h"
#include "mail/QelIMAP.h"
#include "monitor/Services.h"

namespace app {

// Borrows the client; every MailError of a call becomes PopError, as with POP3.
class QelImapClient final : public monitor::PopClient {
public:
    explicit QelImapClient(mail::TQelIMAP& imap);
    void SetServer(const std::string& host, const std::string& port) override;
    void SetSecurity(const std::string& tlsMode, const std::string& fingerprint,
                     const std::string& oauthCommand) override;
    void SetMailbox(const std::string& protocol, const std::string& folder, bool countAll) override;
    void Connect() override;
    bool Login(const std::string& user, const std::string& password) override;
    // Counts in the folder opened read-only, so that nothing of it changes.
    void GetMailCount() override;
    // The header alone; with lines, the whole message, which reading never marks as seen.
    std::unique_ptr<mail::TQelMsg> RetrieveTop(std::uint32_t index, std::uint32_t lines) override;
    std::unique_ptr<mail::TQelMsg> RetrieveMessage(std::uint32_t index) override;
    // Opens the folder for writing once a session; the numbers stay as they were counted.
    void DeleteMessage(std::uint32_t index) override;
    // The UIDs of the count always serve as unique ids.
    bool CapabilityListed(const std::string& capability) override;
    monitor::UniqueIdList ListUniqueIds() override;
    void Quit() override;
    bool Failed() const override { return m_imap.Failed; }
    bool Connected() const override { return m_imap.Connected; }
    int MessageCount() const override { return static_cast<int>(m_uids.size()); }
    // NO or BAD after a refusal, shown before the server's text as POP3's -ERR is.
    std::string ReplyStatus() const override { return m_imap.ReplyStatus; }
    bool Refused() const override { return !m_imap.ReplyStatus.empty(); }
    std::string ReplyText() const override { return m_imap.ReplyText; }
    void Abort() override { m_calls.Abort(); }
    void StartTimeLimit() override { m_imap.StartTimeLimit(); }
    void EndTimeLimit() override { m_imap.EndTimeLimit(); }

private:
    // The UID of message number index of the last count; PopError when there is none.
    std::uint32_t Uid(std::uint32_t index) const;

    mail::TQelIMAP& m_imap;
    MailCalls m_calls;
    std::string m_folder = "INBOX";
    bool m_countAll = false;
    std::vector<std::uint32_t> m_uids;
    // The folder is open for writing (SELECT) since the last count opened it read-only.
    bool m_writable = false;
};

}  // namespace app
