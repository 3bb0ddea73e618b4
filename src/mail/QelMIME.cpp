#include "mail/QelMIME.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <mutex>
#include <sstream>
#include <unordered_map>

#include "mail/qel_util.h"
#include "platform/FileRead.h"

namespace mail {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint8_t kPad = 64;
constexpr std::uint8_t kInvalid = 255;
constexpr std::uint64_t kLineLength = 76;

constexpr std::array<std::uint8_t, 256> MakeDecodingTable() {
    std::array<std::uint8_t, 256> table{};
    for (auto& value : table)
        value = kInvalid;
    for (std::uint8_t i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = i;
    table['='] = kPad;
    return table;
}

constexpr std::array<std::uint8_t, 256> kDecodingTable = MakeDecodingTable();

[[noreturn]] void InvalidOperation() {
    throw platform::StreamError("Invalid stream operation");
}

}  // namespace

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

TBase64EncodingStream::TBase64EncodingStream(platform::Stream& target) : m_target(target) {}

TBase64EncodingStream::~TBase64EncodingStream() {
    try {
        Finish();
    } catch (const std::exception&) {
        // A destructor cannot report; callers that care call Finish() themselves.
    }
}

void TBase64EncodingStream::EmitGroup(const std::uint8_t* group) {
    const char out[6] = {kAlphabet[group[0] >> 2],
                         kAlphabet[((group[0] & 3) << 4) | (group[1] >> 4)],
                         kAlphabet[((group[1] & 15) << 2) | (group[2] >> 6)],
                         kAlphabet[group[2] & 63],
                         '\r',
                         '\n'};
    m_totalOut += 4;
    m_target.Write(out, m_totalOut % kLineLength == 0 ? 6 : 4);
}

std::size_t TBase64EncodingStream::Write(const void* buffer, std::size_t count) {
    if (m_finished)
        InvalidOperation();
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    m_totalIn += count;
    std::size_t i = 0;
    if (m_pendingCount > 0) {
        std::uint8_t group[3] = {m_pending[0], m_pending[1], 0};
        while (m_pendingCount < 3 && i < count)
            group[m_pendingCount++] = bytes[i++];
        if (m_pendingCount < 3) {
            m_pending[0] = group[0];
            m_pending[1] = group[1];
            return count;
        }
        EmitGroup(group);
        m_pendingCount = 0;
    }
    // Whole lines go out in one write to the target; a line is 57 input bytes.
    char line[kLineLength + 2];
    while (count - i >= 3) {
        std::size_t fill = 0;
        while (count - i >= 3) {
            const std::uint8_t* g = bytes + i;
            line[fill++] = kAlphabet[g[0] >> 2];
            line[fill++] = kAlphabet[((g[0] & 3) << 4) | (g[1] >> 4)];
            line[fill++] = kAlphabet[((g[1] & 15) << 2) | (g[2] >> 6)];
            line[fill++] = kAlphabet[g[2] & 63];
            i += 3;
            m_totalOut += 4;
            if (m_totalOut % kLineLength == 0) {
                line[fill++] = '\r';
                line[fill++] = '\n';
                break;
            }
        }
        m_target.Write(line, fill);
    }
    while (i < count)
        m_pending[m_pendingCount++] = bytes[i++];
    return count;
}

void TBase64EncodingStream::Finish() {
    if (m_finished)
        return;
    m_finished = true;
    if (m_pendingCount == 1) {
        const char out[4] = {kAlphabet[m_pending[0] >> 2], kAlphabet[(m_pending[0] & 3) << 4], '=',
                             '='};
        m_target.Write(out, 4);
    } else if (m_pendingCount == 2) {
        const char out[4] = {kAlphabet[m_pending[0] >> 2],
                             kAlphabet[((m_pending[0] & 3) << 4) | (m_pending[1] >> 4)],
                             kAlphabet[(m_pending[1] & 15) << 2], '='};
        m_target.Write(out, 4);
    }
    m_pendingCount = 0;
}

std::size_t TBase64EncodingStream::Read(void*, std::size_t) {
    InvalidOperation();
}

std::int64_t TBase64EncodingStream::Seek(std::int64_t offset, platform::SeekOrigin origin) {
    const auto totalOut = static_cast<std::int64_t>(m_totalOut);
    const bool query = (offset == 0 && origin != platform::SeekOrigin::Begin) ||
                       (origin == platform::SeekOrigin::Begin && offset == totalOut);
    if (!query)
        InvalidOperation();
    return totalOut;
}

TBase64DecodingStream::TBase64DecodingStream(platform::Stream& target) : m_target(target) {}

std::size_t TBase64DecodingStream::Write(const void* buffer, std::size_t count) {
    const auto* text = static_cast<const std::uint8_t*>(buffer);
    std::size_t written = 0;
    char out[16384];
    std::size_t fill = 0;
    std::size_t i = 0;
    while (i < count) {
        // Fast path: whole groups of four alphabet characters, as a line of encoded text is
        // made of. Anything else (a line break, padding, a group split across writes) takes
        // the character-by-character path below for one character.
        if (m_groupFill == 0) {
            const std::size_t room = (sizeof out - fill) / 3 * 4;
            const std::size_t end = i + std::min(count - i, room) / 4 * 4;
            char* to = out + fill;
            while (i < end) {
                const std::uint32_t a = kDecodingTable[text[i]];
                const std::uint32_t b = kDecodingTable[text[i + 1]];
                const std::uint32_t c = kDecodingTable[text[i + 2]];
                const std::uint32_t d = kDecodingTable[text[i + 3]];
                if ((a | b | c | d) >= 64)
                    break;
                const std::uint32_t bits = (a << 18) | (b << 12) | (c << 6) | d;
                to[0] = static_cast<char>(bits >> 16);
                to[1] = static_cast<char>(bits >> 8);
                to[2] = static_cast<char>(bits);
                to += 3;
                i += 4;
            }
            const auto produced = static_cast<std::size_t>(to - (out + fill));
            fill += produced;
            written += produced;
            if (fill > sizeof out - 3) {
                m_target.Write(out, fill);
                fill = 0;
                continue;
            }
            if (i >= count)
                break;
        }
        const std::uint8_t value = kDecodingTable[text[i++]];
        // Line breaks, blanks and other characters outside the alphabet are ignored (RFC 2045).
        if (value == kInvalid)
            continue;
        m_group[m_groupFill++] = value;
        if (m_groupFill < 4)
            continue;
        m_groupFill = 0;
        const std::uint8_t a = m_group[0];
        if (a == kPad)
            continue;
        const std::uint8_t b = m_group[1] == kPad ? 0 : m_group[1];
        const std::uint8_t c = m_group[2] == kPad ? 0 : m_group[2];
        const std::uint8_t d = m_group[3] == kPad ? 0 : m_group[3];
        const std::size_t n = m_group[2] == kPad ? 1 : m_group[3] == kPad ? 2 : 3;
        const char bytes[3] = {static_cast<char>((a << 2) | (b >> 4)),
                               static_cast<char>(((b & 15) << 4) | (c >> 2)),
                               static_cast<char>(((c & 3) << 6) | d)};
        for (std::size_t k = 0; k < n; ++k)
            out[fill++] = bytes[k];
        written += n;
        if (fill > sizeof out - 3) {
            m_target.Write(out, fill);
            fill = 0;
        }
    }
    if (fill > 0)
        m_target.Write(out, fill);
    return written;
}

std::size_t TBase64DecodingStream::Read(void*, std::size_t) {
    InvalidOperation();
}

std::int64_t TBase64DecodingStream::Seek(std::int64_t, platform::SeekOrigin) {
    InvalidOperation();
}

std::string EncodeBase64(std::string_view bytes) {
    platform::MemoryStream out;
    {
        TBase64EncodingStream encoder(out);
        encoder.Write(bytes.data(), bytes.size());
        encoder.Finish();
    }
    return out.Bytes();
}

std::string DecodeBase64(std::string_view text) {
    platform::MemoryStream out;
    TBase64DecodingStream decoder(out);
    decoder.Write(text.data(), text.size());
    return out.Bytes();
}

std::string DecodeQuotedPrintable(std::string text, bool headerMode) {
    const std::size_t size = text.size();
    std::size_t in = 0;
    std::size_t out = 0;
    while (in < size) {
        const char c = text[in];
        if (c == '_' && headerMode) {
            text[out++] = ' ';
            ++in;
        } else if (c != '=') {
            text[out++] = c;
            ++in;
        } else if (in + 1 >= size) {
            break;  // a lone "=" at the end
        } else if (text[in + 1] == '\r' || text[in + 1] == '\n') {
            // Soft line break: only the "=" and one line break (CRLF, LF or CR) go, so that
            // the first character of the next line survives in LF or CR text too.
            in += (text[in + 1] == '\r' && in + 2 < size && text[in + 2] == '\n') ? 3 : 2;
        } else if (in + 2 >= size) {
            break;  // "=" and one character at the end: neither is output
        } else {
            const int high = HexValue(text[in + 1]);
            const int low = HexValue(text[in + 2]);
            text[out++] = (high < 0 || low < 0) ? '@' : static_cast<char>(high * 16 + low);
            in += 3;
        }
    }
    text.resize(out);
    return text;
}

namespace {

using MimeTable = std::unordered_map<std::string, std::string>;

// Extension (lower case) to type; the first line that names an extension gives its type.
MimeTable ReadMimeTable(const std::string& path) {
    MimeTable table;
    std::istringstream file(platform::TryReadFile(path).value_or(std::string()));
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string type;
        std::string extension;
        fields >> type;
        while (fields >> extension)
            table.emplace(LowerCase(extension), type);
    }
    return table;
}

// Each table is read at its first use only: a message may bring thousands of attachments.
const MimeTable& MimeTableOf(const std::string& path) {
    static std::mutex mutex;
    static std::map<std::string, MimeTable> tables;
    const std::lock_guard<std::mutex> lock(mutex);
    auto found = tables.find(path);
    if (found == tables.end())
        found = tables.emplace(path, ReadMimeTable(path)).first;
    return found->second;
}

}  // namespace

std::string GetMimeType(const std::string& fileName) {
    return GetMimeType(fileName, "/etc/mime.types");
}

std::string GetMimeType(const std::string& fileName, const std::string& mimeTypesPath) {
    static const std::string kDefault = "application/octet-stream";
    const std::size_t slash = fileName.find_last_of("/\\:");
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return kDefault;
    const std::string extension = LowerCase(fileName.substr(dot + 1));
    if (extension.empty())
        return kDefault;
    const MimeTable& table = MimeTableOf(mimeTypesPath);
    const auto type = table.find(extension);
    return type == table.end() ? kDefault : type->second;
}

}  // namespace mail
