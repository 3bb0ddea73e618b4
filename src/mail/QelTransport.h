#pragma once
// The byte stream under the mail clients' socket: one connection to one server, waited on in
// short slices so the caller can keep the windows alive between them. A TLS stream can be put
// under the clients by giving them another TransportFactory.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace mail {

// A failed platform call of a transport: the platform error code and the call's name
// ("connect", "send", "recv", "getaddrinfo", ...).
class TransportError : public std::runtime_error {
public:
    TransportError(int code, std::string api, const std::string& what)
        : std::runtime_error(what), Code(code), Api(std::move(api)) {}
    int Code;
    std::string Api;
};

class Transport {
public:
    // Returned by Send and Receive when the slice passed without progress.
    static constexpr long kNotYet = -1;

    virtual ~Transport() = default;
    // Resolves hostName with a blocking lookup (when not empty; otherwise address is a dotted
    // numeric address used as is). Raises TransportError.
    virtual void Resolve(const std::string& hostName, const std::string& address,
                         std::uint16_t port) = 0;
    // Resolve for a caller that must not block: starts the lookup, which FinishResolve then
    // waits for in slices. By default the lookup is Resolve's, finished at once.
    virtual void BeginResolve(const std::string& hostName, const std::string& address,
                              std::uint16_t port) {
        Resolve(hostName, address, port);
    }
    // Waits up to sliceMs for the lookup; true once it has found the addresses. Raises
    // TransportError when it failed.
    virtual bool FinishResolve(int /*sliceMs*/) { return true; }
    // Starts connecting to what Resolve found. Raises TransportError.
    virtual void BeginConnect() = 0;
    // Waits up to sliceMs for the connection; true once it is established. Raises
    // TransportError when it fails.
    virtual bool FinishConnect(int sliceMs) = 0;
    // Waits up to sliceMs to send; returns the count taken (possibly less than all) or kNotYet.
    virtual long Send(std::string_view bytes, int sliceMs) = 0;
    // Waits up to sliceMs for data; returns the count read (> 0), 0 when the peer has closed
    // the connection, or kNotYet.
    virtual long Receive(char* buffer, std::size_t capacity, int sliceMs) = 0;
    // Closes the connection; harmless when it is not open.
    virtual void Close() = 0;
    // Waits up to sliceMs for a TLS handshake; true once it is done (at once for a plain
    // stream). Raises TransportError when the server is refused.
    virtual bool Handshake(int /*sliceMs*/) { return true; }
};

// Makes a new, unconnected transport for each connection a client opens.
class TransportFactory {
public:
    virtual ~TransportFactory() = default;
    virtual std::unique_ptr<Transport> Create() = 0;
    // Puts TLS over a connected transport; Handshake then runs it. By default OpenSSL's
    // TlsTransport (serverName for SNI and the name check, pin: SHA-256 fingerprint or empty).
    virtual std::unique_ptr<Transport> WrapTls(std::unique_ptr<Transport> plain,
                                               const std::string& serverName,
                                               const std::string& pin);
};

// Milliseconds from a steady source; tests give a clock that they advance themselves.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t NowMs() = 0;
};

// std::chrono::steady_clock.
class SteadyClock final : public Clock {
public:
    std::int64_t NowMs() override;
    static SteadyClock& Instance();
};

}  // namespace mail
