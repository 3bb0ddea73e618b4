#include "platform/ReplacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace platform {

namespace {

std::string TemporaryName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937 random{std::random_device{}()};
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + "." + std::to_string(::getpid()) + "-" +
           std::to_string(counter++) + "-" + std::to_string(random() % 1000000) + ".tmp";
}

// Creates a file that did not exist before, so no other file is ever opened by mistake.
int CreateTemporary(const std::string& path, mode_t mode, std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = TemporaryName(path);
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

ReplacementFile::ReplacementFile(std::string path, mode_t mode) : m_path(std::move(path)) {
    m_fd = CreateTemporary(m_path, mode, m_tempPath);
    if (m_fd < 0) {
        const int error = errno;
        m_tempPath.clear();
        Fail(error);
    }
    // The file being replaced keeps its mode: a user who made it private keeps it private.
    struct stat existing {};
    if (::lstat(m_path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        ::fchmod(m_fd, existing.st_mode & mode & 07777) != 0) {
        Fail(errno);
    }
}

ReplacementFile::~ReplacementFile() {
    Discard();
}

void ReplacementFile::Discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.empty()) {
        // Only reached after a failure: a leftover temporary file is all a failed unlink costs.
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
}

void ReplacementFile::Fail(int error) {
    Discard();
    throw StreamError("Cannot write " + m_path + ": " + std::strerror(error));
}

void ReplacementFile::Write(const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = ::write(m_fd, data + done, size - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            Fail(wrote == 0 ? EIO : errno);
        }
        done += static_cast<std::size_t>(wrote);
    }
}

void ReplacementFile::Commit() {
    if (::fsync(m_fd) != 0) {
        Fail(errno);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        Fail(errno);
    }
    if (::rename(m_tempPath.c_str(), m_path.c_str()) != 0) {
        Fail(errno);
    }
    m_tempPath.clear();
}

void WriteFileAtomically(const std::string& path, const std::string& content, mode_t mode) {
    ReplacementFile file(path, mode);
    file.Write(content.data(), content.size());
    file.Commit();
}

}  // namespace platform
