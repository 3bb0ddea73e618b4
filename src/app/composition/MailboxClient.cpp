#include "app/composition/MailboxClient.h"

namespace app {

MailboxClient::MailboxClient(monitor::PopClient& pop3, monitor::PopClient& imap)
    : m_pop3(pop3), m_imap(imap), m_current(&pop3) {
    for (monitor::PopClient* client : {&m_pop3, &m_imap}) {
        client->OnError = [this](int error, const std::string& text) {
            if (OnError) {
                OnError(error, text);
            }
        };
        client->OnRetrieveProgress = [this](unsigned percent) {
            if (OnRetrieveProgress) {
                OnRetrieveProgress(percent);
            }
        };
    }
}

void MailboxClient::SetServer(const std::string& host, const std::string& port) {
    m_pop3.SetServer(host, port);
    m_imap.SetServer(host, port);
}

void MailboxClient::SetSecurity(const std::string& tlsMode, const std::string& fingerprint,
                                const std::string& oauthCommand) {
    m_pop3.SetSecurity(tlsMode, fingerprint, oauthCommand);
    m_imap.SetSecurity(tlsMode, fingerprint, oauthCommand);
}

void MailboxClient::SetMailbox(const std::string& protocol, const std::string& folder,
                               bool countAll) {
    m_current = protocol == "imap" ? &m_imap : &m_pop3;
    m_current->SetMailbox(protocol, folder, countAll);
}

bool MailboxClient::Login(const std::string& user, const std::string& password) {
    return m_current->Login(user, password);
}

std::unique_ptr<mail::TQelMsg> MailboxClient::RetrieveTop(std::uint32_t index,
                                                          std::uint32_t lines) {
    return m_current->RetrieveTop(index, lines);
}

std::unique_ptr<mail::TQelMsg> MailboxClient::RetrieveMessage(std::uint32_t index) {
    return m_current->RetrieveMessage(index);
}

bool MailboxClient::CapabilityListed(const std::string& capability) {
    return m_current->CapabilityListed(capability);
}

void MailboxClient::Abort() {
    m_pop3.Abort();
    m_imap.Abort();
}

void MailboxClient::StartTimeLimit() {
    m_pop3.StartTimeLimit();
    m_imap.StartTimeLimit();
}

void MailboxClient::EndTimeLimit() {
    m_pop3.EndTimeLimit();
    m_imap.EndTimeLimit();
}

}  // namespace app
