#include "app/composition/ComponentAdapters.h"

namespace app {

QelPopClient::QelPopClient(mail::TQelPOP& pop) : m_pop(pop), m_calls(pop) {
    m_pop.OnError = [this](mail::TObject*, int error, const std::string& text) {
        m_calls.ErrorTold();
        if (OnError) {
            OnError(error, text);
        }
    };
    m_pop.OnRetrieveProgress = [this](mail::TObject*, std::uint16_t percent) {
        if (OnRetrieveProgress) {
            OnRetrieveProgress(percent);
        }
    };
}

void QelPopClient::SetServer(const std::string& host, const std::string& port) {
    m_pop.Host = host;
    m_pop.Port = port;
}

void SetClientSecurity(mail::TQelClient& client, const std::string& tlsMode,
                       const std::string& fingerprint, const std::string& oauthCommand) {
    client.Security = mail::ParseTlsMode(tlsMode);
    client.TlsFingerprint = fingerprint;
    client.OAuthCommand = oauthCommand;
}

void QelPopClient::SetSecurity(const std::string& tlsMode, const std::string& fingerprint,
                               const std::string& oauthCommand) {
    SetClientSecurity(m_pop, tlsMode, fingerprint, oauthCommand);
}

void QelPopClient::Connect() {
    m_calls.Connect([this] { m_pop.Connect(); });
}

bool QelPopClient::Login(const std::string& user, const std::string& password) {
    return Run([&] { return m_pop.Login(user, password); });
}

void QelPopClient::GetMailCount() {
    Run([this] { m_pop.GetMailCount(); });
}

std::unique_ptr<mail::TQelMsg> QelPopClient::RetrieveTop(std::uint32_t index, std::uint32_t lines) {
    return Run([&] { return m_pop.RetrieveTop(index, lines); });
}

std::unique_ptr<mail::TQelMsg> QelPopClient::RetrieveMessage(std::uint32_t index) {
    return Run([&] { return m_pop.RetrieveMessage(index); });
}

void QelPopClient::DeleteMessage(std::uint32_t index) {
    Run([&] { m_pop.DeleteMessage(index); });
}

bool QelPopClient::CapabilityListed(const std::string& capability) {
    return Run([&] { return m_pop.CapabilityListed(capability); });
}

monitor::UniqueIdList QelPopClient::ListUniqueIds() {
    mail::TUidlList list = Run([this] { return m_pop.GetUIDLList(); });
    using Outcome = monitor::UniqueIdList::Outcome;
    switch (list.Outcome) {
        case mail::TUidlList::TOutcome::Listed:
            return {Outcome::Listed, std::move(list.Ids), {}};
        case mail::TUidlList::TOutcome::Refused:
            return {Outcome::Refused, {}, {}};
        case mail::TUidlList::TOutcome::Broken:
            break;
    }
    return {Outcome::Broken, {}, {}};
}

void QelPopClient::Quit() {
    Run([this] { m_pop.Quit(); });
}

void RasDialUp::RefreshEntries() {
    try {
        m_rasc.RefreshEntries();
    } catch (const net::ERASControlError& e) {
        throw monitor::DialUpError(e.what());
    }
}

void RasDialUp::Dial(int index) {
    try {
        m_rasc.Dial(index);
    } catch (const net::ERASControlError& e) {
        throw monitor::DialUpError(e.what());
    }
}

void RasDialUp::HangUp(int index) {
    try {
        m_rasc.HangUp(index);
    } catch (const net::ERASControlError& e) {
        throw monitor::DialUpError(e.what());
    }
}

int RasDialUp::ConnectionState(const std::string& entryName) {
    platform::RasConnStatus status;
    try {
        m_rasc.GetConnectionStatus(entryName, status);
    } catch (const net::ERASControlError& e) {
        throw monitor::DialUpError(e.what());
    }
    return status.state;
}

HttpGetDownloader::HttpGetDownloader(net::THTTPGet& getNews) : m_getNews(getNews) {
    m_getNews.Agent = "Vorla";
    m_getNews.BinaryData = true;
    m_getNews.WaitThread = true;
    m_getNews.SizeLimit = monitor::HttpDownloader::kSizeLimit;
    m_getNews.OnDoneFile = [this](net::THTTPGet&, const std::string& fileName, std::int64_t size) {
        if (OnDoneFile) {
            OnDoneFile(fileName, size);
        }
    };
}

void HttpGetDownloader::DownloadFile(const std::string& url, const std::string& fileName) {
    m_getNews.URL = url;
    m_getNews.FileName = fileName;
    m_getNews.DownloadFile();
}

}  // namespace app
