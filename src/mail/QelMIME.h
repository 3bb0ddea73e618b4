#pragma once
// MIME codecs: the two base64 stream filters, quoted-printable decoding and the content type
// of a file by its extension.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Stream.h"

namespace mail {

// Write-only filter: bytes written are base64-encoded onto the target in lines of 76
// characters, each followed by "\r\n". Destruction writes the final padded group (without a
// line break). The target is not owned and must outlive the filter.
class TBase64EncodingStream final : public platform::Stream {
public:
    explicit TBase64EncodingStream(platform::Stream& target);
    ~TBase64EncodingStream() override;
    TBase64EncodingStream(const TBase64EncodingStream&) = delete;
    TBase64EncodingStream& operator=(const TBase64EncodingStream&) = delete;

    // Always returns count.
    std::size_t Write(const void* buffer, std::size_t count) override;
    // Raises platform::StreamError "Invalid stream operation".
    std::size_t Read(void* buffer, std::size_t count) override;
    // Only a position query: offset 0 from Current or End, or Begin with offset == total out.
    std::int64_t Seek(std::int64_t offset, platform::SeekOrigin origin) override;
    using Stream::Write;

    // Writes the final group now instead of at destruction; later writes are refused. Lets a
    // caller see a failure of the target, which the destructor has to keep quiet about.
    void Finish();

private:
    void EmitGroup(const std::uint8_t* group);

    platform::Stream& m_target;
    std::uint8_t m_pending[2] = {};
    std::size_t m_pendingCount = 0;
    std::uint64_t m_totalIn = 0;
    std::uint64_t m_totalOut = 0;
    bool m_finished = false;
};

// Write-only filter: base64 text written is decoded onto the target. "\r", "\n" and any other
// character outside the base64 alphabet are ignored; a group split across writes is completed
// by the next write. The target is not owned.
class TBase64DecodingStream final : public platform::Stream {
public:
    explicit TBase64DecodingStream(platform::Stream& target);

    // Returns the number of bytes this call wrote to the target.
    std::size_t Write(const void* buffer, std::size_t count) override;
    // Both raise platform::StreamError "Invalid stream operation".
    std::size_t Read(void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, platform::SeekOrigin origin) override;
    using Stream::Write;

private:
    platform::Stream& m_target;
    std::uint8_t m_group[4] = {};
    std::size_t m_groupFill = 0;
};

// Encodes in memory through TBase64EncodingStream (76-character lines with "\r\n", the final
// group unbroken).
// The value of one hexadecimal digit, either case; -1 for any other character.
int HexValue(char c);

std::string EncodeBase64(std::string_view bytes);
// Decodes in memory through TBase64DecodingStream.
std::string DecodeBase64(std::string_view text);

// Quoted-printable: "=XY" hexadecimal bytes ("@" when XY is not hexadecimal), "=" before a
// line break is a soft break, and in header mode (RFC 2047 "Q") "_" is a blank.
std::string DecodeQuotedPrintable(std::string text, bool headerMode);

// Content type for the file name's extension from /etc/mime.types, or
// "application/octet-stream". The file is read at the first lookup only.
std::string GetMimeType(const std::string& fileName);
// The same lookup in a mime.types file of the caller's choice, also read once.
std::string GetMimeType(const std::string& fileName, const std::string& mimeTypesPath);

}  // namespace mail
