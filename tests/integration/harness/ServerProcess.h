#pragma once
// Starts a test server as a child process, reads what it prints, and stops it by its PID.
// The child gets SIGTERM when the test process dies, so a crashed run leaves no server behind.
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace harness {

class ServerProcess {
public:
    struct Options {
        std::vector<std::string> argv;      // argv[0] is the program path (no PATH search)
        std::vector<std::string> extraEnv;  // "NAME=value" entries added to the environment
        std::string workDir;                // empty: the current folder
        std::string logPath;  // stderr goes here when set; otherwise the test's own stderr
    };

    explicit ServerProcess(Options options);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Forks and execs the program; throws std::runtime_error when it cannot be started.
    void Start();

    // Waits for a line of the server's stdout that satisfies the predicate; nullopt when the
    // time-out passes or the server ends first. Lines already read are searched too.
    std::optional<std::string> WaitForLine(const std::function<bool(const std::string&)>& match,
                                           std::chrono::milliseconds timeout);

    // Waits for the first stdout line naming a port ("port 8000", "port=8000", "port: 8000").
    std::optional<std::uint16_t> ReadPort(std::chrono::milliseconds timeout);

    // Start() and ReadPort() for a server that prints its port. When none comes in time the
    // server is stopped and std::runtime_error says "<what> did not start: " and its log.
    std::uint16_t StartForPort(const std::string& what, std::chrono::milliseconds timeout);

    // Polls 127.0.0.1:port until it accepts a connection.
    bool WaitForPort(std::uint16_t port, std::chrono::milliseconds timeout) const;

    // SIGTERM to the PID, wait up to grace, then SIGKILL and wait. Idempotent.
    void Stop(std::chrono::milliseconds grace = std::chrono::seconds(5));

    bool Running();
    pid_t Pid() const { return m_pid; }
    // Every stdout line read so far.
    std::vector<std::string> OutputLines();

    // A port on 127.0.0.1 that was free a moment ago.
    static std::uint16_t FreePort();

private:
    void ReadOutput(int fd);
    bool Reap(bool block);

    Options m_options;
    pid_t m_pid = -1;
    bool m_exited = false;
    std::thread m_reader;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_lines;
    bool m_outputClosed = false;
    bool m_stopReader = false;  // the reader polls in short slices and ends when this is set
};

// Parses "port N" / "port=N" / "port: N" (any case) out of a line.
std::optional<std::uint16_t> PortInLine(const std::string& line);

}  // namespace harness
