#include "platform/Stream.h"

#include "platform/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>

namespace platform {

namespace {

std::string Reason(const std::string& what, const std::string& path) {
    return what + " \"" + path + "\": " + std::strerror(errno);
}

}  // namespace

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
    if (m_position >= m_bytes.size())
        return 0;
    const std::size_t n = std::min(count, m_bytes.size() - m_position);
    std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return n;
}

std::size_t MemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return 0;
    if (m_position > m_bytes.size())
        m_bytes.resize(m_position, '\0');
    const char* bytes = static_cast<const char*>(buffer);
    const std::size_t overlap = std::min(count, m_bytes.size() - m_position);
    m_bytes.replace(m_position, overlap, bytes, overlap);
    m_bytes.append(bytes + overlap, count - overlap);
    m_position += count;
    return count;
}

std::int64_t MemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current)
        base = Position();
    if (origin == SeekOrigin::End)
        base = Size();
    const std::int64_t target = base + offset;
    if (target < 0)
        throw StreamError("Invalid stream operation");
    m_position = static_cast<std::size_t>(target);
    return target;
}

void MemoryStream::Clear() {
    m_bytes.clear();
    m_position = 0;
}

void MemoryStream::LoadFromFile(const std::string& path) {
    FileStream file(path, FileStream::Mode::Read);
    std::string bytes;
    // One allocation for a regular file rather than a doubling per append; other files (a
    // pipe) have no size and grow as they are read.
    std::error_code noSize;
    const std::uintmax_t size = std::filesystem::file_size(path, noSize);
    if (!noSize)
        bytes.reserve(static_cast<std::size_t>(size));
    char chunk[65536];
    for (std::size_t n; (n = file.Read(chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, n);
    m_bytes = std::move(bytes);
    m_position = 0;
}

void MemoryStream::SaveToFile(const std::string& path) const {
    WriteFileAtomically(path, m_bytes, 0666);
}

FileStream::FileStream(const std::string& path, Mode mode) : m_path(path) {
    m_file = std::fopen(path.c_str(), mode == Mode::Read ? "rb" : "wb");
    if (m_file == nullptr)
        throw StreamError(
            Reason(mode == Mode::Read ? "Cannot open file" : "Cannot create file", path));
}

FileStream::~FileStream() {
    if (m_file != nullptr)
        std::fclose(m_file);  // failures were reported by Close() if it mattered
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
    if (m_file == nullptr)
        throw StreamError("Invalid stream operation");
    const std::size_t n = std::fread(buffer, 1, count, m_file);
    if (n < count && std::ferror(m_file))
        throw StreamError(Reason("Cannot read file", m_path));
    return n;
}

std::size_t FileStream::Write(const void* buffer, std::size_t count) {
    if (m_file == nullptr)
        throw StreamError("Invalid stream operation");
    if (count == 0)
        return 0;
    if (std::fwrite(buffer, 1, count, m_file) != count)
        throw StreamError(Reason("Cannot write file", m_path));
    return count;
}

std::int64_t FileStream::Seek(std::int64_t offset, SeekOrigin origin) {
    if (m_file == nullptr)
        throw StreamError("Invalid stream operation");
    const int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                       : origin == SeekOrigin::Current ? SEEK_CUR
                                                       : SEEK_END;
    if (offset < std::numeric_limits<off_t>::min() || offset > std::numeric_limits<off_t>::max() ||
        fseeko(m_file, static_cast<off_t>(offset), whence) != 0)
        throw StreamError(Reason("Cannot seek in file", m_path));
    return static_cast<std::int64_t>(ftello(m_file));
}

void FileStream::Close() {
    if (m_file == nullptr)
        return;
    std::FILE* file = m_file;
    m_file = nullptr;
    if (std::fclose(file) != 0)
        throw StreamError(Reason("Cannot write file", m_path));
}

}  // namespace platform
