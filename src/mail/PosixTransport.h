#pragma once
// The plain TCP transport over POSIX sockets (non-blocking, waited on with poll()).
#include <netinet/in.h>
#include <sys/socket.h>

#include <vector>

#include "mail/QelTransport.h"

namespace mail {

class PosixTransport final : public Transport {
public:
    PosixTransport() = default;
    ~PosixTransport() override;
    PosixTransport(const PosixTransport&) = delete;
    PosixTransport& operator=(const PosixTransport&) = delete;

    void Resolve(const std::string& hostName, const std::string& address,
                 std::uint16_t port) override;
    void BeginConnect() override;
    bool FinishConnect(int sliceMs) override;
    long Send(std::string_view bytes, int sliceMs) override;
    long Receive(char* buffer, std::size_t capacity, int sliceMs) override;
    void Close() override;

private:
    // Starts a connect to the next address of the lookup; false when none is left.
    bool ConnectNext();
    bool WaitFor(short events, int sliceMs, const char* api);

    int m_fd = -1;
    std::vector<sockaddr_storage> m_addresses;
    std::vector<socklen_t> m_lengths;
    std::size_t m_next = 0;
    int m_lastError = 0;
};

class PosixTransportFactory final : public TransportFactory {
public:
    std::unique_ptr<Transport> Create() override { return std::make_unique<PosixTransport>(); }
};

}  // namespace mail
