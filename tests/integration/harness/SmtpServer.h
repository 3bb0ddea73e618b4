#pragma once
// A private SMTP server on 127.0.0.1 for tests (Debian's aiosmtpd under /usr/bin/python3):
// each accepted message is kept as an envelope and the DATA as received.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ServerProcess.h"

namespace harness {

class SmtpServer {
public:
    struct Delivery {
        std::string mailFrom;
        std::vector<std::string> rcptTo;
        std::string data;  // dot-unstuffed, CRLF lines as received
    };

    // Starts the server; throws std::runtime_error when it does not report its port.
    SmtpServer();
    ~SmtpServer();
    SmtpServer(const SmtpServer&) = delete;
    SmtpServer& operator=(const SmtpServer&) = delete;

    std::uint16_t Port() const { return m_port; }
    // The messages accepted so far, in order.
    std::vector<Delivery> Deliveries() const;
    void Stop();

private:
    std::string m_folder;
    std::uint16_t m_port = 0;
    std::unique_ptr<ServerProcess> m_process;
};

}  // namespace harness
