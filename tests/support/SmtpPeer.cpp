#include "SmtpPeer.h"

#include <cerrno>
#include <cstring>

#include "mail/QelMIME.h"

namespace testsupport {

namespace {

class SmtpSession final : public mail::Transport {
public:
    explicit SmtpSession(SmtpPeer& peer) : m_peer(peer) {}

    void Resolve(const std::string& hostName, const std::string& address,
                 std::uint16_t port) override {
        m_peer.host = hostName.empty() ? address : hostName;
        m_peer.port = port;
    }
    void BeginConnect() override {
        if (m_peer.refuseConnect)
            throw mail::TransportError(m_peer.refuseConnect, "connect",
                                       std::strerror(m_peer.refuseConnect));
        ++m_peer.sessions;
        m_out = "220 sink ready\r\n";
    }
    bool FinishConnect(int) override { return true; }

    long Send(std::string_view bytes, int) override {
        m_in.append(bytes);
        std::size_t eol;
        while ((eol = m_in.find("\r\n")) != std::string::npos) {
            const std::string line = m_in.substr(0, eol);
            m_in.erase(0, eol + 2);
            Take(line);
        }
        return static_cast<long>(bytes.size());
    }

    long Receive(char* buffer, std::size_t capacity, int) override {
        // Nothing to say: the peer closes rather than letting the client wait forever.
        if (m_out.empty())
            return 0;
        const std::size_t n = std::min(capacity, m_out.size());
        std::memcpy(buffer, m_out.data(), n);
        m_out.erase(0, n);
        return static_cast<long>(n);
    }
    void Close() override {}

private:
    void Take(const std::string& line) {
        if (m_inData) {
            if (line == ".") {
                m_inData = false;
                m_peer.deliveries.push_back(m_current);
                m_out += "250 queued\r\n";
                return;
            }
            m_current.lines.push_back(line.rfind("..", 0) == 0 ? line.substr(1) : line);
            if (m_peer.onDataLine)
                m_peer.onDataLine();
            return;
        }
        m_peer.commands.push_back(line);
        const std::string verb = line.substr(0, 4);
        if (verb == "HELO") {
            m_out += "250 hello\r\n";
        } else if (line.rfind("MAIL FROM:<", 0) == 0) {
            m_current = {};
            m_current.sender = line.substr(11, line.size() - 12);
            m_out += "250 ok\r\n";
        } else if (line.rfind("RCPT TO:<", 0) == 0) {
            const std::string address = line.substr(9, line.size() - 10);
            if (m_peer.refused.count(address)) {
                m_out += m_peer.refusal + "\r\n";
            } else {
                m_current.recipients.push_back(address);
                m_out += "250 ok\r\n";
            }
        } else if (verb == "DATA") {
            m_inData = true;
            m_out += "354 go ahead\r\n";
        } else if (verb == "RSET") {
            m_out += "250 reset\r\n";
        } else if (verb == "QUIT") {
            m_out += "221 bye\r\n";
        } else {
            m_out += "500 unknown\r\n";
        }
    }

    SmtpPeer& m_peer;
    std::string m_in;
    std::string m_out;
    bool m_inData = false;
    SmtpPeer::Delivery m_current;
};

}  // namespace

std::unique_ptr<mail::Transport> SmtpPeerFactory::Create() {
    return std::make_unique<SmtpSession>(m_peer);
}

std::string SmtpPeer::Header(const Delivery& delivery, const std::string& name) {
    const std::string prefix = name + ": ";
    const auto& lines = delivery.lines;
    for (std::size_t i = 0; i < lines.size() && !lines[i].empty(); ++i) {
        if (lines[i].rfind(prefix, 0) != 0)
            continue;
        // Unfolded: each continuation line keeps its leading blank.
        std::string value = lines[i].substr(prefix.size());
        while (i + 1 < lines.size() && !lines[i + 1].empty() &&
               (lines[i + 1][0] == ' ' || lines[i + 1][0] == '\t'))
            value += lines[++i];
        return value;
    }
    return "";
}

std::vector<std::string> SmtpPeer::DecodedBody(const Delivery& delivery) {
    std::string base64;
    bool inBody = false;
    for (const std::string& line : delivery.lines) {
        if (inBody)
            base64 += line;
        inBody = inBody || line.empty();
    }
    const std::string text = mail::DecodeBase64(base64);
    std::vector<std::string> lines;
    std::size_t from = 0, eol;
    while ((eol = text.find("\r\n", from)) != std::string::npos) {
        lines.push_back(text.substr(from, eol - from));
        from = eol + 2;
    }
    if (from < text.size())
        lines.push_back(text.substr(from));
    return lines;
}

}  // namespace testsupport
