#include "Pop3Mailbox.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>

namespace testsupport {

std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

int Pop3Mailbox::Add(const std::string& raw) {
    std::string text = WithCrLf(raw);
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)
        text += "\r\n";
    messages.push_back({text, "uid" + std::to_string(nextUid++)});
    return Count();
}

void Pop3Mailbox::Remove(int n) {
    messages.erase(messages.begin() + (n - 1));
}

void Pop3Mailbox::Fill(int count) {
    messages.clear();
    for (int i = 1; i <= count; ++i)
        Add("Subject: message " + std::to_string(i) + "\n\nbody\n");
}

namespace {

using MailboxOfHost = std::function<Pop3Mailbox*(const std::string& host)>;

// One session: reads command lines from what the client sends and queues the answers.
class Pop3Session final : public mail::Transport {
public:
    Pop3Session(MailboxOfHost find, std::vector<std::string>* log)
        : m_find(std::move(find)), m_log(log) {}

    void Resolve(const std::string& hostName, const std::string& address,
                 std::uint16_t port) override {
        m_host = hostName.empty() ? address : hostName;
        m_port = port;
    }
    void BeginConnect() override {
        Log("connect " + m_host + ":" + std::to_string(m_port));
        m_box = m_find(m_host);
        const int refusal = m_box == nullptr ? ECONNREFUSED : m_box->refuseConnect;
        if (refusal)
            throw mail::TransportError(refusal, "connect", std::strerror(refusal));
        ++m_box->sessions;
        m_deleted.assign(m_box->messages.size(), false);
        if (!m_box->greeting.empty())
            m_out = m_box->greeting + "\r\n";
    }
    bool FinishConnect(int) override { return true; }

    long Send(std::string_view bytes, int) override {
        if (m_closed)
            return 0;
        m_in.append(bytes);
        std::size_t eol;
        while ((eol = m_in.find("\r\n")) != std::string::npos) {
            const std::string line = m_in.substr(0, eol);
            m_in.erase(0, eol + 2);
            Answer(line);
        }
        return static_cast<long>(bytes.size());
    }

    long Receive(char* buffer, std::size_t capacity, int sliceMs) override {
        if (m_box->resetAtGreeting)
            throw mail::TransportError(ECONNRESET, "recv", std::strerror(ECONNRESET));
        if (m_box->silent) {
            if (m_box->clock)
                m_box->clock->now += sliceMs;
            return kNotYet;
        }
        // Nothing to say: the peer closes rather than letting the client wait forever.
        const std::size_t pending = m_out.size() - m_read;
        if (pending == 0)
            return 0;
        std::size_t n = std::min({capacity, pending, m_box->chunkSize});
        if (m_dataLeft != std::string::npos) {
            if (m_dataLeft == 0) {
                m_out.clear();
                m_read = 0;
                m_closed = true;
                return 0;
            }
            n = std::min(n, m_dataLeft);
            m_dataLeft -= n;
        }
        std::memcpy(buffer, m_out.data() + m_read, n);
        m_read += n;
        // A big answer is handed out piece by piece without moving the rest each time.
        if (m_read == m_out.size()) {
            m_out.clear();
            m_read = 0;
        }
        return static_cast<long>(n);
    }

    void Close() override { m_closed = true; }

private:
    void Reply(const std::string& line) { m_out += line + "\r\n"; }
    void Log(const std::string& line) {
        if (m_log)
            m_log->push_back(line);
    }

    // Message n of this session: in range and not marked deleted.
    const Pop3Mailbox::Message* Find(const std::string& arg, int& n) {
        char* end = nullptr;
        const long value = std::strtol(arg.c_str(), &end, 10);
        n = static_cast<int>(value);
        if (arg.empty() || *end != '\0' || value < 1 ||
            value > static_cast<long>(m_deleted.size()) ||
            static_cast<std::size_t>(value) > m_box->messages.size()) {
            Reply("-ERR There's no message " + arg + ".");
            return nullptr;
        }
        if (m_deleted[static_cast<std::size_t>(n - 1)]) {
            Reply("-ERR Message is deleted.");
            return nullptr;
        }
        return &m_box->messages[static_cast<std::size_t>(n - 1)];
    }

    void SendData(const std::string& status, const std::string& text) {
        std::string data = status + "\r\n";
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t eol = text.find("\r\n", start);
            if (eol == std::string::npos)
                eol = text.size();
            if (text[start] == '.')
                data += '.';
            data.append(text, start, eol - start);
            data += "\r\n";
            start = eol + 2;
        }
        data += ".\r\n";
        if (m_box->dropAfterBytes)
            m_dataLeft = m_out.size() - m_read + m_box->dropAfterBytes;
        m_out += data;
    }

    // The header, the empty line and the first lines of the body.
    static std::string Top(const std::string& raw, long lines) {
        const std::size_t blank = raw.find("\r\n\r\n");
        if (blank == std::string::npos)
            return raw;
        std::size_t end = blank + 4;
        for (long i = 0; i < lines && end < raw.size(); ++i) {
            const std::size_t eol = raw.find("\r\n", end);
            end = eol == std::string::npos ? raw.size() : eol + 2;
        }
        return raw.substr(0, end);
    }

    std::pair<int, std::size_t> Stat() const {
        int count = 0;
        std::size_t size = 0;
        for (std::size_t i = 0; i < m_deleted.size() && i < m_box->messages.size(); ++i) {
            if (!m_deleted[i]) {
                ++count;
                size += m_box->messages[i].raw.size();
            }
        }
        return {count, size};
    }

    void Answer(const std::string& line) {
        std::istringstream words(line);
        std::string verb, arg1, arg2;
        words >> verb >> arg1 >> arg2;
        for (char& c : verb)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const std::string shown = verb == "PASS" ? "PASS ****" : line;
        m_box->commands.push_back(shown);
        Log(shown);
        if (m_box->onCommand) {
            const std::string answer = m_box->onCommand(line);
            if (!answer.empty()) {
                Reply(answer);
                return;
            }
        }
        int n = 0;
        if (verb == "QUIT") {
            if (m_loggedIn) {
                for (std::size_t i = m_deleted.size(); i-- > 0;)
                    if (m_deleted[i] && i < m_box->messages.size())
                        m_box->Remove(static_cast<int>(i + 1));
            }
            Reply("+OK Logging out.");
        } else if (verb == "USER") {
            m_user = arg1;
            Reply("+OK");
        } else if (verb == "PASS") {
            const bool knownUser = m_box->user.empty() || m_user == m_box->user;
            if (knownUser && line.substr(5) == m_box->password) {
                m_loggedIn = true;
                Reply("+OK Logged in.");
            } else {
                Reply("-ERR [AUTH] Authentication failed.");
            }
        } else if (!m_loggedIn) {
            Reply("-ERR Unknown command.");
        } else if (verb == "STAT") {
            const auto [count, size] = Stat();
            Reply("+OK " + std::to_string(count) + " " + std::to_string(size));
        } else if (verb == "LAST") {
            Reply(m_box->lastSupported ? "+OK 0" : "-ERR Unknown command: LAST");
        } else if (verb == "LIST") {
            if (const auto* message = Find(arg1, n))
                Reply("+OK " + arg1 + " " + std::to_string(message->raw.size()));
        } else if (verb == "CAPA" && !m_box->capabilities.empty()) {
            std::string list;
            for (const std::string& capability : m_box->capabilities)
                list += capability + "\r\n";
            SendData("+OK", list);
        } else if (verb == "UIDL" && !m_box->uidlSupported) {
            Reply("-ERR Unknown command: UIDL");
        } else if (verb == "UIDL" && arg1.empty()) {
            std::string list;
            for (std::size_t i = 0; i < m_deleted.size() && i < m_box->messages.size(); ++i)
                if (!m_deleted[i])
                    list += std::to_string(i + 1) + " " + m_box->messages[i].uidl + "\r\n";
            SendData("+OK", list);
        } else if (verb == "UIDL") {
            if (const auto* message = Find(arg1, n))
                Reply("+OK " + arg1 + " " + message->uidl);
        } else if (verb == "DELE") {
            if (Find(arg1, n)) {
                m_deleted[static_cast<std::size_t>(n - 1)] = true;
                Reply("+OK Marked to be deleted.");
            }
        } else if (verb == "RETR") {
            if (const auto* message = Find(arg1, n))
                SendData("+OK " + std::to_string(message->raw.size()) + " octets", message->raw);
        } else if (verb == "TOP") {
            if (const auto* message = Find(arg1, n))
                SendData("+OK", Top(message->raw, std::strtol(arg2.c_str(), nullptr, 10)));
        } else {
            Reply("-ERR Unknown command: " + verb);
        }
    }

    MailboxOfHost m_find;
    std::vector<std::string>* m_log;
    std::string m_host;
    std::uint16_t m_port = 0;
    Pop3Mailbox* m_box = nullptr;
    std::vector<bool> m_deleted;
    std::string m_in;
    std::string m_out;
    std::size_t m_read = 0;  // bytes of m_out already handed to the client
    std::string m_user;
    bool m_loggedIn = false;
    bool m_closed = false;
    std::size_t m_dataLeft = std::string::npos;
};

}  // namespace

std::unique_ptr<mail::Transport> Pop3MailboxFactory::Create() {
    return std::make_unique<Pop3Session>([this](const std::string&) { return &m_mailbox; },
                                         nullptr);
}

std::unique_ptr<mail::Transport> Pop3Servers::Create() {
    return std::make_unique<Pop3Session>(
        [this](const std::string& host) {
            const auto found = hosts.find(host);
            return found == hosts.end() ? nullptr : &found->second;
        },
        &log);
}

int Pop3Servers::Connects() const {
    return static_cast<int>(std::count_if(log.begin(), log.end(), [](const std::string& line) {
        return line.rfind("connect ", 0) == 0;
    }));
}

}  // namespace testsupport
