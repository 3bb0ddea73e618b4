#include "mail/TlsTransport.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cerrno>

#include "mail/qel_util.h"

namespace mail {

namespace {

constexpr std::size_t kRecordSize = 16 * 1024;

// The text of OpenSSL's oldest queued error, or fallback; the queue is emptied.
std::string OpenSslText(const char* fallback) {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return fallback;
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

TransportError TlsFailure(const std::string& text) {
    return TransportError(EPROTO, "tls", text);
}

}  // namespace

std::unique_ptr<Transport> TransportFactory::WrapTls(std::unique_ptr<Transport> plain,
                                                     const std::string& serverName,
                                                     const std::string& pin) {
    return std::make_unique<TlsTransport>(std::move(plain), serverName, pin);
}

TlsTransport::TlsTransport(std::unique_ptr<Transport> inner, std::string serverName,
                           std::string pin)
    : m_inner(std::move(inner)), m_serverName(std::move(serverName)), m_pin(std::move(pin)) {
    if (!m_pin.empty() && NormalizeFingerprint(m_pin).empty())
        throw TlsFailure("The pinned certificate fingerprint is not 64 hexadecimal digits.");
    m_ctx = SSL_CTX_new(TLS_client_method());
    if (m_ctx == nullptr)
        throw TlsFailure(OpenSslText("TLS cannot be set up."));
    SSL_CTX_set_min_proto_version(m_ctx, TLS1_2_VERSION);
    // The chain is checked after the handshake, so the refusal can say why and show the
    // fingerprint; a pin replaces the store.
    SSL_CTX_set_verify(m_ctx, SSL_VERIFY_NONE, nullptr);
    if (m_pin.empty() && SSL_CTX_set_default_verify_paths(m_ctx) != 1) {
        SSL_CTX_free(m_ctx);
        throw TlsFailure(OpenSslText("The system's certificate store cannot be read."));
    }
    m_ssl = SSL_new(m_ctx);
    m_in = BIO_new(BIO_s_mem());
    m_out = BIO_new(BIO_s_mem());
    if (m_ssl == nullptr || m_in == nullptr || m_out == nullptr) {
        BIO_free(m_in);
        BIO_free(m_out);
        SSL_free(m_ssl);
        SSL_CTX_free(m_ctx);
        throw TlsFailure(OpenSslText("TLS cannot be set up."));
    }
    SSL_set_bio(m_ssl, m_in, m_out);
    SSL_set_connect_state(m_ssl);
    if (IsIPAddress(m_serverName)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(m_ssl), m_serverName.c_str());
    } else if (!m_serverName.empty()) {
        SSL_set_tlsext_host_name(m_ssl, m_serverName.c_str());
        SSL_set1_host(m_ssl, m_serverName.c_str());
    }
}

TlsTransport::~TlsTransport() {
    Close();
    SSL_free(m_ssl);
    SSL_CTX_free(m_ctx);
}

void TlsTransport::Resolve(const std::string& hostName, const std::string& address,
                           std::uint16_t port) {
    m_inner->Resolve(hostName, address, port);
}

void TlsTransport::BeginConnect() {
    m_inner->BeginConnect();
}

bool TlsTransport::FinishConnect(int sliceMs) {
    return m_inner->FinishConnect(sliceMs);
}

bool TlsTransport::Flush(int sliceMs) {
    char buffer[kRecordSize];
    int n;
    while ((n = BIO_read(m_out, buffer, sizeof buffer)) > 0)
        m_pending.append(buffer, static_cast<std::size_t>(n));
    while (!m_pending.empty()) {
        const long sent = m_inner->Send(m_pending, sliceMs);
        if (sent <= 0)
            return false;
        m_pending.erase(0, static_cast<std::size_t>(sent));
    }
    return true;
}

long TlsTransport::Feed(int sliceMs) {
    char buffer[kRecordSize];
    const long n = m_inner->Receive(buffer, sizeof buffer, sliceMs);
    if (n > 0)
        BIO_write(m_in, buffer, static_cast<int>(n));
    return n;
}

void TlsTransport::Refuse(const std::string& text) {
    throw TlsFailure(text);
}

bool TlsTransport::Handshake(int sliceMs) {
    if (m_done)
        return true;
    const int r = SSL_do_handshake(m_ssl);
    if (!Flush(sliceMs))
        return false;
    if (r == 1) {
        m_done = true;
        CheckCertificate();
        return true;
    }
    const int error = SSL_get_error(m_ssl, r);
    if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE)
        Refuse("The TLS handshake with " + m_serverName +
               " failed: " + OpenSslText("the server broke it off") + ".");
    if (error == SSL_ERROR_WANT_READ && Feed(sliceMs) == 0)
        Refuse("The server " + m_serverName + " closed the connection during the TLS handshake.");
    return false;
}

void TlsTransport::CheckCertificate() {
    X509* certificate = SSL_get1_peer_certificate(m_ssl);
    if (certificate == nullptr)
        Refuse("The server " + m_serverName + " sent no certificate.");
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    const bool digested = X509_digest(certificate, EVP_sha256(), digest, &length) == 1;
    X509_free(certificate);
    if (!digested)
        Refuse(OpenSslText("The server's certificate cannot be read."));
    const std::string fingerprint = FormatFingerprint(digest, length);
    const std::string shown = " Its SHA-256 fingerprint is " + fingerprint + ".";
    if (!m_pin.empty()) {
        if (NormalizeFingerprint(fingerprint) != NormalizeFingerprint(m_pin))
            Refuse("The certificate of " + m_serverName +
                   " does not match the pinned fingerprint." + shown);
        return;
    }
    const long result = SSL_get_verify_result(m_ssl);
    if (result == X509_V_OK)
        return;
    std::string why;
    switch (result) {
        case X509_V_ERR_CERT_HAS_EXPIRED:
            why = "has expired";
            break;
        case X509_V_ERR_CERT_NOT_YET_VALID:
            why = "is not valid yet";
            break;
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            why = "is made out to another host name";
            break;
        default:
            why = std::string("is not trusted (") + X509_verify_cert_error_string(result) + ")";
    }
    Refuse("The certificate of " + m_serverName + " " + why + "." + shown +
           " Pin this fingerprint in the account to accept it.");
}

long TlsTransport::Send(std::string_view bytes, int sliceMs) {
    if (!Flush(sliceMs))
        return kNotYet;
    const int size = static_cast<int>(std::min(bytes.size(), kRecordSize));
    const int r = SSL_write(m_ssl, bytes.data(), size);
    if (r <= 0) {
        const int error = SSL_get_error(m_ssl, r);
        if (error == SSL_ERROR_WANT_READ) {
            if (Feed(sliceMs) == 0)
                throw TransportError(ECONNRESET, "send", "send: connection closed");
            return kNotYet;
        }
        throw TransportError(EPROTO, "send", "send: " + OpenSslText("TLS failure"));
    }
    // The record is taken; what the inner transport cannot take now goes out with the next
    // call.
    Flush(0);
    return r;
}

long TlsTransport::Receive(char* buffer, std::size_t capacity, int sliceMs) {
    Flush(0);
    const int size = static_cast<int>(std::min(capacity, kRecordSize));
    for (;;) {
        const int r = SSL_read(m_ssl, buffer, size);
        if (r > 0)
            return r;
        const int error = SSL_get_error(m_ssl, r);
        if (error == SSL_ERROR_ZERO_RETURN)
            return 0;
        if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE)
            throw TransportError(EPROTO, "recv", "recv: " + OpenSslText("TLS failure"));
        Flush(0);
        const long n = Feed(sliceMs);
        if (n <= 0)
            return n;
    }
}

void TlsTransport::Close() {
    if (m_done && m_inner) {
        // close_notify, as far as it goes out at once; the peer may be gone already.
        SSL_shutdown(m_ssl);
        try {
            Flush(0);
        } catch (const TransportError&) {
            // The connection is being closed anyway.
        }
        m_done = false;
    }
    if (m_inner)
        m_inner->Close();
}

}  // namespace mail
