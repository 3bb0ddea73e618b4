#pragma once
// Bounds-checked little-endian reads over a file held in memory; a read past the end throws.
#include <cstddef>
#include <cstdint>
#include <string>

#include "skin/SkinError.h"

namespace skin {

class ByteView {
public:
    ByteView(const std::uint8_t* data, std::size_t size, std::string what)
        : m_data(data), m_size(size), m_what(std::move(what)) {}

    std::size_t Size() const { return m_size; }
    const std::uint8_t* Data() const { return m_data; }
    bool Has(std::size_t at, std::size_t count) const {
        return at <= m_size && count <= m_size - at;
    }

    std::uint8_t U8(std::size_t at) const {
        Require(at, 1);
        return m_data[at];
    }
    std::uint16_t U16(std::size_t at) const {
        Require(at, 2);
        return static_cast<std::uint16_t>(m_data[at] | (m_data[at + 1] << 8));
    }
    std::uint32_t U32(std::size_t at) const {
        Require(at, 4);
        return static_cast<std::uint32_t>(m_data[at]) |
               (static_cast<std::uint32_t>(m_data[at + 1]) << 8) |
               (static_cast<std::uint32_t>(m_data[at + 2]) << 16) |
               (static_cast<std::uint32_t>(m_data[at + 3]) << 24);
    }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }

    // A part of this view; throws when it does not lie inside.
    ByteView Sub(std::size_t at, std::size_t count) const {
        Require(at, count);
        return ByteView(m_data + at, count, m_what);
    }

    [[noreturn]] void Fail(const std::string& reason) const { throw SkinError(m_what + reason); }

    void Require(std::size_t at, std::size_t count) const {
        if (!Has(at, count)) {
            Fail("truncated file");
        }
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::string m_what;
};

}  // namespace skin
