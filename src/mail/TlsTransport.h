#pragma once
// TLS through OpenSSL over any transport: the handshake and the records run over memory BIOs,
// so every wait is the inner transport's wait in slices and the caller keeps pumping events
// and its TimeOut, the handshake included.
#include <memory>
#include <string>

#include "mail/QelTransport.h"
#include "mail/TlsPolicy.h"

struct ssl_st;
struct ssl_ctx_st;
struct bio_st;

namespace mail {

class TlsTransport final : public Transport {
public:
    // The inner transport is connected already. serverName is sent as SNI (unless an
    // address) and checked against the certificate; a non-empty pin replaces the system's
    // store: the certificate's SHA-256 fingerprint must equal it.
    TlsTransport(std::unique_ptr<Transport> inner, std::string serverName, std::string pin);
    ~TlsTransport() override;
    TlsTransport(const TlsTransport&) = delete;
    TlsTransport& operator=(const TlsTransport&) = delete;

    void Resolve(const std::string& hostName, const std::string& address,
                 std::uint16_t port) override;
    void BeginConnect() override;
    bool FinishConnect(int sliceMs) override;
    // Raises TransportError with api "tls" and a text saying why the server was refused.
    bool Handshake(int sliceMs) override;
    long Send(std::string_view bytes, int sliceMs) override;
    long Receive(char* buffer, std::size_t capacity, int sliceMs) override;
    void Close() override;

private:
    // Moves what OpenSSL wrote to the inner transport; false while some is still waiting.
    bool Flush(int sliceMs);
    // One receive of the inner transport into OpenSSL: the count, 0 at close, or kNotYet.
    long Feed(int sliceMs);
    void CheckCertificate();
    [[noreturn]] void Refuse(const std::string& text);

    std::unique_ptr<Transport> m_inner;
    std::string m_serverName;
    std::string m_pin;
    ssl_ctx_st* m_ctx = nullptr;
    ssl_st* m_ssl = nullptr;
    bio_st* m_in = nullptr;   // owned by m_ssl
    bio_st* m_out = nullptr;  // owned by m_ssl
    std::string m_pending;
    bool m_done = false;
};

}  // namespace mail
