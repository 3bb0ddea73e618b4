#pragma once
// Byte streams: the abstract stream that filters and sinks derive from, a memory stream and a
// file stream. Reading, writing and seeking follow the usual positional model.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// Raised by a stream for an operation it does not support or for a failed file operation.
class StreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class SeekOrigin { Begin, Current, End };

class Stream {
public:
    virtual ~Stream() = default;
    // Returns the number of bytes read; 0 at the end.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Returns the number of bytes taken.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Returns the new position.
    virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;

    std::size_t Write(const std::string& bytes) { return Write(bytes.data(), bytes.size()); }
};

// A growable buffer in memory; the bytes are reachable directly through Bytes().
class MemoryStream final : public Stream {
public:
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    using Stream::Write;

    const std::string& Bytes() const { return m_bytes; }
    std::int64_t Size() const { return static_cast<std::int64_t>(m_bytes.size()); }
    std::int64_t Position() const { return static_cast<std::int64_t>(m_position); }
    // Makes room for a content of that size at once, so that writes up to it do not move it.
    void Reserve(std::size_t size) { m_bytes.reserve(size); }
    void Clear();
    // Replaces the content with the whole file; the position goes back to 0.
    void LoadFromFile(const std::string& path);
    // Writes the whole content to a file of that name: beside it first, then renamed over it,
    // so a failed write (StreamError) leaves an existing file as it was.
    void SaveToFile(const std::string& path) const;

private:
    std::string m_bytes;
    std::size_t m_position = 0;
};

// A file opened for reading, or created (truncated) for writing. Failures raise StreamError
// with the file name and the system's reason.
class FileStream final : public Stream {
public:
    enum class Mode { Read, Create };
    FileStream(const std::string& path, Mode mode);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    using Stream::Write;

    // Flushes and closes; raises when the data could not be written. Called by the destructor
    // too, which then keeps quiet about failures.
    void Close();

private:
    std::string m_path;
    std::FILE* m_file = nullptr;
};

// A growable byte buffer in pages of its own, for one large text that is read front to back
// once it is complete (a received message): the pages already read can be handed back to the
// system while the rest is still being read, so the text and what is made of it are not both
// resident in full.
class ReleasableBuffer final {
public:
    ReleasableBuffer() = default;
    ~ReleasableBuffer();
    ReleasableBuffer(const ReleasableBuffer&) = delete;
    ReleasableBuffer& operator=(const ReleasableBuffer&) = delete;

    // Room for at least count more bytes after the content, to be filled and then counted by
    // Commit. Growing may move the content: pointers into it are then no longer valid. Raises
    // std::bad_alloc when the system has no memory for it.
    char* Room(std::size_t count);
    void Commit(std::size_t count);
    void Append(const void* bytes, std::size_t count);
    // Keeps only the first size bytes.
    void Truncate(std::size_t size);

    char* Data() { return m_data; }
    std::string_view View() const { return {m_data, m_size}; }
    std::size_t Size() const { return m_size; }

    // Hands the whole pages before offset back to the system. They read as zeros afterwards:
    // only bytes that are not read again may be released.
    void ReleaseBefore(std::size_t offset);

private:
    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::size_t m_released = 0;
};

}  // namespace platform
