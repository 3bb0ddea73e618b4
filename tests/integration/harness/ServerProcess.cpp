#include "ServerProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "Files.h"

extern char** environ;

namespace harness {

namespace {

std::vector<char*> CStrings(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (auto& t : texts)
        out.push_back(t.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

std::optional<std::uint16_t> PortInLine(const std::string& line) {
    std::string lower;
    for (char c : line)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (std::size_t at = lower.find("port"); at != std::string::npos;
         at = lower.find("port", at + 1)) {
        std::size_t i = at + 4;
        while (i < lower.size() && (lower[i] == ' ' || lower[i] == '=' || lower[i] == ':'))
            ++i;
        std::size_t digits = i;
        unsigned long value = 0;
        while (i < lower.size() && std::isdigit(static_cast<unsigned char>(lower[i])) &&
               value <= 65535)
            value = value * 10 + static_cast<unsigned long>(lower[i++] - '0');
        if (i > digits && value > 0 && value <= 65535)
            return static_cast<std::uint16_t>(value);
    }
    return std::nullopt;
}

ServerProcess::ServerProcess(Options options) : m_options(std::move(options)) {}

ServerProcess::~ServerProcess() {
    Stop();
}

void ServerProcess::Start() {
    if (m_pid > 0)
        throw std::runtime_error("server already started");
    if (m_options.argv.empty())
        throw std::runtime_error("no program to start");

    // Everything the child needs is prepared before fork: after it only async-signal-safe calls.
    std::vector<std::string> args = m_options.argv;
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    for (const auto& extra : m_options.extraEnv)
        env.push_back(extra);
    std::vector<char*> argvC = CStrings(args);
    std::vector<char*> envC = CStrings(env);

    int logFd = -1;
    if (!m_options.logPath.empty()) {
        logFd = ::open(m_options.logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (logFd < 0)
            throw std::runtime_error("cannot open log " + m_options.logPath + ": " +
                                     std::strerror(errno));
    }
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        if (logFd >= 0)
            ::close(logFd);
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    }
    const pid_t parent = ::getpid();
    const char* workDir = m_options.workDir.empty() ? nullptr : m_options.workDir.c_str();

    pid_t pid = ::fork();
    if (pid < 0) {
        ::close(out[0]);
        ::close(out[1]);
        if (logFd >= 0)
            ::close(logFd);
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    }
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        ::dup2(out[1], STDOUT_FILENO);
        if (logFd >= 0)
            ::dup2(logFd, STDERR_FILENO);
        int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull >= 0)
            ::dup2(devNull, STDIN_FILENO);
        if (workDir && ::chdir(workDir) != 0)
            ::_exit(126);
        ::execve(argvC[0], argvC.data(), envC.data());
        ::_exit(127);
    }
    ::close(out[1]);
    if (logFd >= 0)
        ::close(logFd);
    m_pid = pid;
    m_exited = false;
    m_reader = std::thread([this, fd = out[0]] { ReadOutput(fd); });
}

void ServerProcess::ReadOutput(int fd) {
    std::string partial;
    char buf[4096];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        int r = ::poll(&p, 1, 100);
        {
            std::lock_guard lock(m_mutex);
            if (m_stopReader)
                break;
        }
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            continue;
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        partial.append(buf, static_cast<std::size_t>(n));
        std::size_t nl;
        std::lock_guard lock(m_mutex);
        while ((nl = partial.find('\n')) != std::string::npos) {
            std::string line = partial.substr(0, nl);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            m_lines.push_back(std::move(line));
            partial.erase(0, nl + 1);
        }
        m_changed.notify_all();
    }
    ::close(fd);
    std::lock_guard lock(m_mutex);
    if (!partial.empty())
        m_lines.push_back(partial);
    m_outputClosed = true;
    m_changed.notify_all();
}

std::optional<std::string> ServerProcess::WaitForLine(
    const std::function<bool(const std::string&)>& match, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(m_mutex);
    std::size_t checked = 0;
    for (;;) {
        for (; checked < m_lines.size(); ++checked)
            if (match(m_lines[checked]))
                return m_lines[checked];
        if (m_outputClosed)
            return std::nullopt;
        // Short waits so a server that dies without closing its output is noticed.
        if (m_changed.wait_until(lock, std::min(deadline, std::chrono::steady_clock::now() +
                                                              std::chrono::milliseconds(100))) ==
                std::cv_status::timeout &&
            std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        lock.unlock();
        bool running = Running();
        lock.lock();
        if (!running && checked == m_lines.size())
            return std::nullopt;
    }
}

std::optional<std::uint16_t> ServerProcess::ReadPort(std::chrono::milliseconds timeout) {
    auto line =
        WaitForLine([](const std::string& l) { return PortInLine(l).has_value(); }, timeout);
    if (!line)
        return std::nullopt;
    return PortInLine(*line);
}

std::uint16_t ServerProcess::StartForPort(const std::string& what,
                                          std::chrono::milliseconds timeout) {
    Start();
    const auto port = ReadPort(timeout);
    if (!port) {
        const std::string log = testsupport::ReadFile(m_options.logPath);
        Stop();
        throw std::runtime_error(what + " did not start: " + log);
    }
    return *port;
}

bool ServerProcess::WaitForPort(std::uint16_t port, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
        if (fd < 0)
            return false;
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(port);
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        ::close(fd);
        if (ok)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

bool ServerProcess::Reap(bool block) {
    if (m_pid <= 0 || m_exited)
        return true;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == m_pid || (r < 0 && errno == ECHILD)) {
        std::lock_guard lock(m_mutex);
        m_exited = true;
        return true;
    }
    return false;
}

bool ServerProcess::Running() {
    return m_pid > 0 && !Reap(false);
}

void ServerProcess::Stop(std::chrono::milliseconds grace) {
    if (m_pid > 0 && !Reap(false)) {
        ::kill(m_pid, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + grace;
        while (!Reap(false) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!Reap(false)) {
            ::kill(m_pid, SIGKILL);
            Reap(true);
        }
    }
    if (m_reader.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_stopReader = true;
        }
        m_reader.join();
        std::lock_guard lock(m_mutex);
        m_stopReader = false;
    }
}

std::vector<std::string> ServerProcess::OutputLines() {
    std::lock_guard lock(m_mutex);
    return m_lines;
}

std::uint16_t ServerProcess::FreePort() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0)
        throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        int e = errno;
        ::close(fd);
        throw std::runtime_error(std::string("bind: ") + std::strerror(e));
    }
    ::close(fd);
    return ntohs(addr.sin_port);
}

}  // namespace harness
