#pragma once
// The monitor's view of its components over the real ones: TQelPOP, TRASControl, THTTPGet.
#include "mail/MailError.h"
#include "mail/QelPOP3.h"
#include "mail/QelSMTP.h"
#include "monitor/Services.h"
#include "net/HTTPGet.h"
#include "net/RASControl.h"
#include "settings/Config.h"
#include "settings/Tables.h"

namespace app {

// Sets a client's security from the stored texts: tls_mode, pinned fingerprint, token command.
void SetClientSecurity(mail::TQelClient& client, const std::string& tlsMode,
                       const std::string& fingerprint, const std::string& oauthCommand);

// What the mail clients' adapters share: a MailError leaving a call (no connection, a broken or
// aborted connection) becomes PopError, marked reported when the client's error event told the
// failure during the call; and an abort lasts until the next Connect.
class MailCalls {
public:
    explicit MailCalls(mail::TQelClient& client) : m_client(client) {}
    // The client's error event has told a failure.
    void ErrorTold() { ++m_errorsTold; }
    template <typename Call>
    auto Run(Call call) {
        const int told = m_errorsTold;
        try {
            return call();
        } catch (const mail::MailError& e) {
            throw monitor::PopError(e.what(), m_errorsTold != told);
        }
    }
    // The client clears its own flag once a greeting has arrived; this one lasts until the
    // next Connect, so an abort during the greeting still stops the login.
    template <typename Call>
    void Connect(Call connect) {
        m_aborted = false;
        m_client.AbortRequested = false;
        Run(connect);
        m_client.AbortRequested = m_aborted;
    }
    void Abort() {
        m_aborted = true;
        m_client.AbortRequested = true;
    }

private:
    mail::TQelClient& m_client;
    int m_errorsTold = 0;
    bool m_aborted = false;
};

// Borrows the client; every MailError of a call (no connection, a broken or aborted
// connection) becomes PopError.
class QelPopClient final : public monitor::PopClient {
public:
    explicit QelPopClient(mail::TQelPOP& pop);
    void SetServer(const std::string& host, const std::string& port) override;
    void SetSecurity(const std::string& tlsMode, const std::string& fingerprint,
                     const std::string& oauthCommand) override;
    void Connect() override;
    bool Login(const std::string& user, const std::string& password) override;
    void GetMailCount() override;
    std::unique_ptr<mail::TQelMsg> RetrieveTop(std::uint32_t index, std::uint32_t lines) override;
    std::unique_ptr<mail::TQelMsg> RetrieveMessage(std::uint32_t index) override;
    void DeleteMessage(std::uint32_t index) override;
    bool CapabilityListed(const std::string& capability) override;
    monitor::UniqueIdList ListUniqueIds() override;
    void Quit() override;
    bool Failed() const override { return m_pop.Failed; }
    bool Connected() const override { return m_pop.Connected; }
    int MessageCount() const override { return static_cast<int>(m_pop.MessageCount); }
    std::string ReplyStatus() const override { return m_pop.ReplyStatus; }
    std::string ReplyText() const override { return m_pop.ReplyText; }
    void Abort() override { m_calls.Abort(); }
    void StartTimeLimit() override { m_pop.StartTimeLimit(); }
    void EndTimeLimit() override { m_pop.EndTimeLimit(); }

private:
    template <typename Call>
    auto Run(Call call) {
        return m_calls.Run(call);
    }

    mail::TQelPOP& m_pop;
    MailCalls m_calls;
};

// Borrows the control; ERASControlError becomes DialUpError.
class RasDialUp final : public monitor::DialUp {
public:
    explicit RasDialUp(net::TRASControl& rasc) : m_rasc(rasc) {}
    void RefreshEntries() override;
    std::vector<std::string> Entries() const override { return m_rasc.Entries(); }
    void Dial(int index) override;
    void HangUp(int index) override;
    int ConnectionState(const std::string& entryName) override;
    std::string LastError() const override { return m_rasc.LastError(); }

private:
    net::TRASControl& m_rasc;
};

// Borrows the component and sets it up as the news feed uses it: binary data, waiting.
class HttpGetDownloader final : public monitor::HttpDownloader {
public:
    explicit HttpGetDownloader(net::THTTPGet& getNews);
    void DownloadFile(const std::string& url, const std::string& fileName) override;

private:
    net::THTTPGet& m_getNews;
};

}  // namespace app
