#include "platform/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace platform {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
    throw FileReadError(path, reason);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

std::string ReadFileHead(const std::string& path, std::size_t maxBytes, FileLinks links) {
    // Non-blocking, so that opening a FIFO without a writer returns at once; the type check
    // below then refuses it.
    int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    if (links == FileLinks::Refuse) {
        flags |= O_NOFOLLOW;
    }
    const Descriptor fd(::open(path.c_str(), flags));
    if (fd.Get() < 0) {
        Fail(path, errno == ELOOP && links == FileLinks::Refuse ? "it is a symbolic link"
                                                                : std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) {
        Fail(path, std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        Fail(path, "not a regular file");
    }
    std::string content;
    char buffer[65536];
    while (content.size() < maxBytes) {
        const ssize_t got =
            ::read(fd.Get(), buffer, std::min(sizeof buffer, maxBytes - content.size()));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            Fail(path, std::strerror(errno));
        }
        if (got == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
    return content;
}

std::optional<std::string> TryReadFile(const std::string& path, std::size_t maxBytes,
                                       FileLinks links) {
    try {
        return ReadFileHead(path, maxBytes, links);
    } catch (const StreamError&) {
        return std::nullopt;
    }
}

}  // namespace platform
