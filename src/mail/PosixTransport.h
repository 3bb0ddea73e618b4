#pragma once
// The plain TCP transport over POSIX sockets (non-blocking, waited on with poll()), and the
// name lookup it waits for in the same way.
#include <netinet/in.h>
#include <sys/socket.h>

#include <future>
#include <vector>

#include "mail/QelTransport.h"

namespace mail {

// The addresses found for a host name, or the lookup's error code (getaddrinfo's) and text.
struct LookupResult {
    int Error = 0;
    std::string Text;
    std::vector<sockaddr_storage> Addresses;
    std::vector<socklen_t> Lengths;
};

// Looks host names up for TCP connections without blocking the caller: the future is ready
// once the lookup has ended. Tests give resolvers that answer late or never.
class NameResolver {
public:
    virtual ~NameResolver() = default;
    virtual std::future<LookupResult> Lookup(const std::string& hostName, std::uint16_t port) = 0;
};

// The system's getaddrinfo, on a worker thread of its own for each lookup.
class SystemResolver final : public NameResolver {
public:
    std::future<LookupResult> Lookup(const std::string& hostName, std::uint16_t port) override;
    static SystemResolver& Instance();
};

// True for a name under one of the domains that RFC 2606 reserves (".example", ".invalid",
// ".test"): no such host can exist, so such a name is never looked up.
bool IsReservedName(const std::string& hostName);

class PosixTransport final : public Transport {
public:
    // The resolver must outlive the transport.
    explicit PosixTransport(NameResolver& resolver = SystemResolver::Instance())
        : m_resolver(resolver) {}
    ~PosixTransport() override;
    PosixTransport(const PosixTransport&) = delete;
    PosixTransport& operator=(const PosixTransport&) = delete;

    // BeginResolve, then waits for the lookup without a bound.
    void Resolve(const std::string& hostName, const std::string& address,
                 std::uint16_t port) override;
    // A reserved name fails here at once, without a lookup.
    void BeginResolve(const std::string& hostName, const std::string& address,
                      std::uint16_t port) override;
    bool FinishResolve(int sliceMs) override;
    void BeginConnect() override;
    bool FinishConnect(int sliceMs) override;
    long Send(std::string_view bytes, int sliceMs) override;
    long Receive(char* buffer, std::size_t capacity, int sliceMs) override;
    void Close() override;

private:
    // Starts a connect to the next address of the lookup; false when none is left.
    bool ConnectNext();
    bool WaitFor(short events, int sliceMs, const char* api);

    NameResolver& m_resolver;
    std::future<LookupResult> m_lookup;
    int m_fd = -1;
    std::vector<sockaddr_storage> m_addresses;
    std::vector<socklen_t> m_lengths;
    std::size_t m_next = 0;
    int m_lastError = 0;
};

class PosixTransportFactory final : public TransportFactory {
public:
    // The resolver must outlive the factory and its transports.
    explicit PosixTransportFactory(NameResolver& resolver = SystemResolver::Instance())
        : m_resolver(resolver) {}
    std::unique_ptr<Transport> Create() override {
        return std::make_unique<PosixTransport>(m_resolver);
    }

private:
    NameResolver& m_resolver;
};

}  // namespace mail
