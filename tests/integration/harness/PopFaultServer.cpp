#include "PopFaultServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace harness {

namespace {

constexpr int kPollMs = 20;

void SendText(int fd, const std::string& text) {
    [[maybe_unused]] const ssize_t sent = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
}

std::string Answer(const std::string& line, PopFaultServer::Behaviour behaviour) {
    const std::string command = line.substr(0, line.find(' '));
    if (command == "PASS" && behaviour == PopFaultServer::Behaviour::HostilePass) {
        // Retitles and clears a terminal that prints it as it is.
        return "-ERR x" + std::string(PopFaultServer::kHostileText) + "\r\n";
    }
    if (behaviour == PopFaultServer::Behaviour::NoUidl) {
        const std::string n = line.substr(line.find(' ') + 1, line.rfind(' ') - line.find(' ') - 1);
        if (command == "CAPA" || command == "UIDL") {
            return "-ERR Unknown command: " + command + "\r\n";
        }
        if (command == "LIST") {
            return "+OK " + n + " 100\r\n";
        }
        if (command == "TOP") {
            return "+OK\r\nMessage-ID: <" + n + "@fault.test>\r\nFrom: Old Server " +
                   "<old@fault.test>\r\nSubject: message " + n + "\r\n\r\n.\r\n";
        }
    }
    if (command == "STAT") {
        return "+OK 3 300\r\n";
    }
    if (command == "LAST") {
        return "-ERR Unknown command: LAST\r\n";
    }
    if (command == "QUIT") {
        return "+OK Logging out.\r\n";
    }
    return "+OK\r\n";
}

}  // namespace

PopFaultServer::PopFaultServer(std::vector<Behaviour> script)
    : m_script(std::move(script)), m_listener(8) {
    if (m_script.empty()) {
        throw std::invalid_argument("a fault server needs a script");
    }
    m_thread = std::thread([this] { Run(); });
}

PopFaultServer::~PopFaultServer() {
    m_stop = true;
    m_thread.join();
    for (const Client& client : m_clients) {
        ::close(client.fd);
    }
}

void PopFaultServer::Run() {
    while (!m_stop) {
        std::vector<pollfd> fds{{m_listener.Fd(), POLLIN, 0}};
        for (const Client& client : m_clients) {
            fds.push_back({client.fd, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), kPollMs) <= 0) {
            continue;
        }
        if (fds[0].revents & POLLIN) {
            Accept();
        }
        for (std::size_t i = fds.size() - 1; i >= 1; --i) {
            if (fds[i].revents == 0) {
                continue;
            }
            Client& client = m_clients[i - 1];
            if (!Serve(client)) {
                ::close(client.fd);
                m_clients.erase(m_clients.begin() + static_cast<std::ptrdiff_t>(i - 1));
            }
        }
    }
}

void PopFaultServer::Accept() {
    const int fd = ::accept4(m_listener.Fd(), nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
        return;
    }
    const std::size_t index = static_cast<std::size_t>(m_accepted++);
    const Behaviour behaviour = m_script[std::min(index, m_script.size() - 1)];
    switch (behaviour) {
        case Behaviour::ResetAtGreeting: {
            const linger reset{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            ::close(fd);
            return;
        }
        case Behaviour::Answer:
        case Behaviour::HostilePass:
        case Behaviour::NoUidl:
            SendText(fd, "+OK fault server ready.\r\n");
            break;
        case Behaviour::Silent:
            break;
    }
    m_clients.push_back({fd, behaviour, {}});
}

bool PopFaultServer::Serve(Client& client) {
    char buffer[512];
    const ssize_t n = ::recv(client.fd, buffer, sizeof buffer, 0);
    if (n <= 0) {
        return false;
    }
    if (client.behaviour == Behaviour::Silent) {
        return true;
    }
    client.pending.insert(client.pending.end(), buffer, buffer + n);
    for (;;) {
        const std::string text(client.pending.begin(), client.pending.end());
        const auto end = text.find("\r\n");
        if (end == std::string::npos) {
            return true;
        }
        const std::string line = text.substr(0, end);
        client.pending.erase(client.pending.begin(),
                             client.pending.begin() + static_cast<std::ptrdiff_t>(end + 2));
        SendText(client.fd, Answer(line, client.behaviour));
        if (line == "QUIT") {
            return false;
        }
    }
}

}  // namespace harness
