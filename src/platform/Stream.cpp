#include "platform/Stream.h"

#include "platform/ReplacementFile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>

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
    // "e": close-on-exec, so a program started meanwhile does not inherit the file.
    m_file = std::fopen(path.c_str(), mode == Mode::Read ? "rbe" : "wbe");
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

namespace {

std::size_t PageSize() {
    static const auto size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

std::size_t WholePages(std::size_t bytes) {
    const std::size_t page = PageSize();
    return (bytes + page - 1) / page * page;
}

}  // namespace

ReleasableBuffer::~ReleasableBuffer() {
    if (m_data != nullptr)
        munmap(m_data, m_capacity);
}

char* ReleasableBuffer::Room(std::size_t count) {
    if (m_capacity - m_size >= count)
        return m_data + m_size;
    if (count > std::numeric_limits<std::size_t>::max() / 4 - m_size)
        throw std::bad_alloc();
    const std::size_t capacity = WholePages(std::max(m_size + count, m_capacity * 2));
    // A larger mapping takes the pages over without copying them.
    void* grown = m_data == nullptr ? mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                                    : mremap(m_data, m_capacity, capacity, MREMAP_MAYMOVE);
    if (grown == MAP_FAILED)
        throw std::bad_alloc();
    m_data = static_cast<char*>(grown);
    m_capacity = capacity;
    return m_data + m_size;
}

void ReleasableBuffer::Commit(std::size_t count) {
    m_size = std::min(m_size + count, m_capacity);
}

void ReleasableBuffer::Append(const void* bytes, std::size_t count) {
    if (count == 0)
        return;
    std::memcpy(Room(count), bytes, count);
    Commit(count);
}

void ReleasableBuffer::Truncate(std::size_t size) {
    m_size = std::min(m_size, size);
}

void ReleasableBuffer::ReleaseBefore(std::size_t offset) {
    const std::size_t end = std::min(offset, m_size) / PageSize() * PageSize();
    if (end <= m_released)
        return;
    // Advice only: when the system declines, the pages simply stay resident.
    madvise(m_data + m_released, end - m_released, MADV_DONTNEED);
    m_released = end;
}

}  // namespace platform
