#include "mail/PosixTransport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>

namespace mail {

namespace {

TransportError SystemError(int code, const char* api) {
    return TransportError(code, api, std::string(api) + ": " + std::strerror(code));
}

// Four decimal fields 0 to 255; leading zeros are decimal too ("010" is 10), which
// inet_pton refuses and inet_aton would read as octal.
bool DottedAddress(const std::string& text, in_addr& out) {
    std::uint32_t value = 0;
    int fields = 0;
    std::size_t at = 0;
    while (fields < 4) {
        const std::size_t end = std::min(text.find('.', at), text.size());
        if (end == at)
            return false;
        unsigned field = 0;
        for (std::size_t i = at; i < end; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            field = field * 10 + static_cast<unsigned>(text[i] - '0');
            if (field > 255)
                return false;
        }
        value = value << 8 | field;
        ++fields;
        at = end + 1;
        if (end == text.size())
            break;
    }
    if (fields != 4 || at <= text.size())
        return false;
    out.s_addr = htonl(value);
    return true;
}

constexpr int kResolveSliceMs = 50;

LookupResult LookUp(const std::string& hostName, std::uint16_t port) {
    LookupResult result;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    result.Error = ::getaddrinfo(hostName.c_str(), service.c_str(), &hints, &found);
    if (result.Error != 0) {
        result.Text = ::gai_strerror(result.Error);
        return result;
    }
    for (addrinfo* a = found; a; a = a->ai_next) {
        sockaddr_storage storage{};
        std::memcpy(&storage, a->ai_addr, a->ai_addrlen);
        result.Addresses.push_back(storage);
        result.Lengths.push_back(a->ai_addrlen);
    }
    ::freeaddrinfo(found);
    return result;
}

}  // namespace

bool IsReservedName(const std::string& hostName) {
    std::string name = hostName;
    if (!name.empty() && name.back() == '.')
        name.pop_back();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const std::string suffix : {".example", ".invalid", ".test"}) {
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            return true;
    }
    return false;
}

std::future<LookupResult> SystemResolver::Lookup(const std::string& hostName, std::uint16_t port) {
    std::promise<LookupResult> promise;
    std::future<LookupResult> result = promise.get_future();
    try {
        // A lookup that outlives its caller's time-out ends on its own; its result is dropped.
        std::thread([promise = std::move(promise), hostName, port]() mutable {
            promise.set_value(LookUp(hostName, port));
        }).detach();
    } catch (const std::system_error& e) {
        std::promise<LookupResult> failed;
        result = failed.get_future();
        failed.set_value({EAI_SYSTEM, e.what(), {}, {}});
    }
    return result;
}

SystemResolver& SystemResolver::Instance() {
    static SystemResolver resolver;
    return resolver;
}

std::int64_t SteadyClock::NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

SteadyClock& SteadyClock::Instance() {
    static SteadyClock clock;
    return clock;
}

PosixTransport::~PosixTransport() {
    Close();
}

void PosixTransport::Resolve(const std::string& hostName, const std::string& address,
                             std::uint16_t port) {
    BeginResolve(hostName, address, port);
    while (!FinishResolve(kResolveSliceMs)) {
    }
}

void PosixTransport::BeginResolve(const std::string& hostName, const std::string& address,
                                  std::uint16_t port) {
    Close();
    m_lookup = {};
    m_addresses.clear();
    m_lengths.clear();
    m_next = 0;
    m_lastError = 0;
    if (hostName.empty()) {
        sockaddr_in in{};
        in.sin_family = AF_INET;
        in.sin_port = htons(port);
        if (!DottedAddress(address, in.sin_addr))
            throw TransportError(EINVAL, "inet_addr", "inet_addr: invalid address " + address);
        sockaddr_storage storage{};
        std::memcpy(&storage, &in, sizeof in);
        m_addresses.push_back(storage);
        m_lengths.push_back(sizeof in);
    } else if (IsReservedName(hostName)) {
        throw TransportError(
            EAI_NONAME, "getaddrinfo",
            "getaddrinfo: " + hostName + " is under a reserved domain and is never looked up");
    } else {
        m_lookup = m_resolver.Lookup(hostName, port);
    }
}

bool PosixTransport::FinishResolve(int sliceMs) {
    if (!m_lookup.valid())
        return true;
    if (m_lookup.wait_for(std::chrono::milliseconds(sliceMs)) != std::future_status::ready)
        return false;
    LookupResult found;
    try {
        found = m_lookup.get();
    } catch (const std::future_error& e) {
        // The resolver went away without an answer.
        throw TransportError(EAI_FAIL, "getaddrinfo", std::string("getaddrinfo: ") + e.what());
    }
    if (found.Error != 0)
        throw TransportError(found.Error, "getaddrinfo", "getaddrinfo: " + found.Text);
    m_addresses = std::move(found.Addresses);
    m_lengths = std::move(found.Lengths);
    return true;
}

void PosixTransport::BeginConnect() {
    m_next = 0;
    if (!ConnectNext())
        throw SystemError(m_lastError ? m_lastError : EHOSTUNREACH, "connect");
}

bool PosixTransport::ConnectNext() {
    while (m_next < m_addresses.size()) {
        Close();
        const auto& addr = m_addresses[m_next];
        const socklen_t len = m_lengths[m_next];
        ++m_next;
        m_fd = ::socket(addr.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
        if (m_fd < 0) {
            m_lastError = errno;
            continue;
        }
        int one = 1;
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&addr), len) == 0 ||
            errno == EINPROGRESS)
            return true;
        m_lastError = errno;
    }
    Close();
    return false;
}

bool PosixTransport::WaitFor(short events, int sliceMs, const char* api) {
    if (m_fd < 0)
        throw SystemError(ENOTCONN, api);
    pollfd p{m_fd, events, 0};
    int r = ::poll(&p, 1, sliceMs);
    if (r < 0) {
        if (errno == EINTR)
            return false;
        throw SystemError(errno, api);
    }
    return r > 0;
}

bool PosixTransport::FinishConnect(int sliceMs) {
    for (;;) {
        if (!WaitFor(POLLOUT, sliceMs, "connect"))
            return false;
        int error = 0;
        socklen_t len = sizeof error;
        if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0)
            error = errno;
        if (error == 0)
            return true;
        m_lastError = error;
        // This address refused; the lookup may have given others.
        if (!ConnectNext())
            throw SystemError(error, "connect");
    }
}

long PosixTransport::Send(std::string_view bytes, int sliceMs) {
    if (!WaitFor(POLLOUT, sliceMs, "send"))
        return kNotYet;
    ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            return kNotYet;
        throw SystemError(errno, "send");
    }
    return static_cast<long>(n);
}

long PosixTransport::Receive(char* buffer, std::size_t capacity, int sliceMs) {
    if (!WaitFor(POLLIN, sliceMs, "recv"))
        return kNotYet;
    ssize_t n = ::recv(m_fd, buffer, capacity, 0);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            return kNotYet;
        throw SystemError(errno, "recv");
    }
    return static_cast<long>(n);
}

void PosixTransport::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

}  // namespace mail
