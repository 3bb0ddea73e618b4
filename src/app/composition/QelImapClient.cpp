#include "app/composition/QelImapClient.h"

namespace app {

QelImapClient::QelImapClient(mail::TQelIMAP& imap) : m_imap(imap), m_calls(imap) {
    m_imap.OnError = [this](mail::TObject*, int error, const std::string& text) {
        m_calls.ErrorTold();
        if (OnError) {
            OnError(error, text);
        }
    };
}

void QelImapClient::SetServer(const std::string& host, const std::string& port) {
    m_imap.Host = host;
    m_imap.Port = port;
}

void QelImapClient::SetSecurity(const std::string& tlsMode, const std::string& fingerprint,
                                const std::string& oauthCommand) {
    SetClientSecurity(m_imap, tlsMode, fingerprint, oauthCommand);
}

void QelImapClient::SetMailbox(const std::string& /*protocol*/, const std::string& folder,
                               bool countAll) {
    m_folder = folder.empty() ? "INBOX" : folder;
    m_countAll = countAll;
}

void QelImapClient::Connect() {
    m_uids.clear();
    m_writable = false;
    m_calls.Connect([this] { m_imap.Connect(); });
}

bool QelImapClient::Login(const std::string& user, const std::string& password) {
    return m_calls.Run([&] { return m_imap.Login(user, password); });
}

void QelImapClient::GetMailCount() {
    m_uids.clear();
    m_writable = false;
    m_calls.Run([this] {
        if (m_imap.Examine(m_folder)) {
            m_uids = m_imap.Search(m_countAll ? "ALL" : "UNSEEN");
        }
    });
}

std::uint32_t QelImapClient::Uid(std::uint32_t index) const {
    if (index < 1 || index > m_uids.size()) {
        throw monitor::PopError("The message is no longer on the server.");
    }
    return m_uids[index - 1];
}

std::unique_ptr<mail::TQelMsg> QelImapClient::RetrieveTop(std::uint32_t index,
                                                          std::uint32_t lines) {
    const std::uint32_t uid = Uid(index);
    return m_calls.Run(
        [&] { return lines == 0 ? m_imap.FetchHeader(uid) : m_imap.FetchMessage(uid); });
}

std::unique_ptr<mail::TQelMsg> QelImapClient::RetrieveMessage(std::uint32_t index) {
    const std::uint32_t uid = Uid(index);
    auto message = m_calls.Run([&] { return m_imap.FetchMessage(uid); });
    if (m_imap.Connected && OnRetrieveProgress) {
        OnRetrieveProgress(100);
    }
    return message;
}

void QelImapClient::DeleteMessage(std::uint32_t index) {
    const std::uint32_t uid = Uid(index);
    m_calls.Run([&] {
        // EXAMINE opened it read-only; a second open of the same folder keeps the session.
        if (!m_writable) {
            m_writable = m_imap.Select(m_folder);
        }
        if (m_writable) {
            m_imap.DeleteMessage(uid);
        }
    });
}

bool QelImapClient::CapabilityListed(const std::string& capability) {
    return capability == "UIDL" || m_imap.Offers(capability);
}

monitor::UniqueIdList QelImapClient::ListUniqueIds() {
    if (!m_imap.Connected) {
        return {monitor::UniqueIdList::Outcome::Broken, {}, {}};
    }
    monitor::UniqueIdList list{
        monitor::UniqueIdList::Outcome::Listed, {}, std::to_string(m_imap.UidValidity)};
    list.ids.reserve(m_uids.size());
    for (const std::uint32_t uid : m_uids) {
        list.ids.push_back(std::to_string(uid));
    }
    return list;
}

void QelImapClient::Quit() {
    m_calls.Run([this] { m_imap.Logout(); });
}

}  // namespace app
