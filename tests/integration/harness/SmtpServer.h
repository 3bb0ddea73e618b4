#pragma once
// A private SMTP server on 127.0.0.1 for tests (Debian's aiosmtpd under /usr/bin/python3):
// each accepted message is kept as an envelope and the DATA as received.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "PythonServer.h"

namespace harness {

class SmtpServer : public PythonServer {
public:
    struct Delivery {
        std::string mailFrom;
        std::vector<std::string> rcptTo;
        std::string data;  // dot-unstuffed, CRLF lines as received
    };

    enum class Tls { None, StartTls, Implicit };
    struct Options {
        Tls tls = Tls::None;
        // AUTH PLAIN, LOGIN and XOAUTH2 for User()/Pass() or the bearer token Token().
        bool auth = false;
        bool plainMechanism = true;
    };

    // Starts the server; throws std::runtime_error when it does not report its port.
    SmtpServer() : SmtpServer(Options{}) {}
    explicit SmtpServer(const Options& options);
    // The messages accepted so far, in order.
    std::vector<Delivery> Deliveries() const;
    // The certificate's SHA-256 fingerprint when TLS is on.
    const std::string& Fingerprint() const { return m_fingerprint; }
    static std::string User() { return "vorla"; }
    static std::string Pass() { return "vorla-pass"; }
    static std::string Token() { return "vorla-token"; }

private:
    std::string m_fingerprint;
};

}  // namespace harness
