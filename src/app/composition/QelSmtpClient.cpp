#include "app/composition/QelSmtpClient.h"

#include "app/composition/ComponentAdapters.h"

namespace app {

QelSmtpClient::QelSmtpClient(mail::TQelSMTP& smtp) : m_smtp(smtp) {
    m_smtp.OnBeforeSend = [this](mail::TObject*) {
        if (OnBeforeSend)
            OnBeforeSend();
    };
    m_smtp.OnSendProgress = [this](mail::TObject*, std::uint16_t percent) {
        if (OnSendProgress)
            OnSendProgress(percent);
    };
    m_smtp.OnAfterSend = [this](mail::TObject*) {
        if (OnAfterSend)
            OnAfterSend();
    };
    m_smtp.OnError = [this](mail::TObject*, int error, const std::string& text) {
        if (OnError)
            OnError(error, text);
    };
}

void QelSmtpClient::SetServer(const std::string& host, const std::string& port) {
    m_smtp.Host = host;
    m_smtp.Port = port;
}

void QelSmtpClient::SetSecurity(const std::string& tlsMode, const std::string& fingerprint,
                                const std::string& oauthCommand) {
    SetClientSecurity(m_smtp, tlsMode, fingerprint, oauthCommand);
}

}  // namespace app
