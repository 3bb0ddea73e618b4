#pragma once
// An SMTP server on the server side of the mail clients' transport seam: it answers HELO,
// MAIL, RCPT, DATA, RSET and QUIT as a server does and keeps every message it accepted, so
// the real TQelSMTP can be driven by the code under test. Recipients can be refused, and a
// hook runs while the data lines arrive (where a user may press a button).
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "mail/QelTransport.h"

namespace testsupport {

class SmtpPeer {
public:
    struct Delivery {
        std::string sender;
        std::vector<std::string> recipients;
        std::vector<std::string> lines;  // the data lines, dot-stuffing undone
    };

    // Addresses whose RCPT is answered with refusal.
    std::set<std::string> refused;
    std::string refusal = "550 5.1.1 No such user here";
    // The connection is refused with this platform code (0 accepts).
    int refuseConnect = 0;
    // Runs for each data line received, after it arrived.
    std::function<void()> onDataLine;

    std::vector<Delivery> deliveries;
    std::vector<std::string> commands;  // command lines received, in order
    int sessions = 0;
    std::string host;  // as the client resolved it
    int port = -1;

    // A header's value in a delivery's data, unfolded ("" when absent).
    static std::string Header(const Delivery& delivery, const std::string& name);
    // The base64 body of a delivery decoded, lines split at CR LF.
    static std::vector<std::string> DecodedBody(const Delivery& delivery);
};

class SmtpPeerFactory final : public mail::TransportFactory {
public:
    explicit SmtpPeerFactory(SmtpPeer& peer) : m_peer(peer) {}
    std::unique_ptr<mail::Transport> Create() override;

private:
    SmtpPeer& m_peer;
};

}  // namespace testsupport
