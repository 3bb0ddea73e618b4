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
        : data_(data), size_(size), what_(std::move(what)) {}

    std::size_t Size() const { return size_; }
    const std::uint8_t* Data() const { return data_; }
    bool Has(std::size_t at, std::size_t count) const { return at <= size_ && count <= size_ - at; }

    std::uint8_t U8(std::size_t at) const {
        Require(at, 1);
        return data_[at];
    }
    std::uint16_t U16(std::size_t at) const {
        Require(at, 2);
        return static_cast<std::uint16_t>(data_[at] | (data_[at + 1] << 8));
    }
    std::uint32_t U32(std::size_t at) const {
        Require(at, 4);
        return static_cast<std::uint32_t>(data_[at]) |
               (static_cast<std::uint32_t>(data_[at + 1]) << 8) |
               (static_cast<std::uint32_t>(data_[at + 2]) << 16) |
               (static_cast<std::uint32_t>(data_[at + 3]) << 24);
    }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }

    // A part of this view; throws when it does not lie inside.
    ByteView Sub(std::size_t at, std::size_t count) const {
        Require(at, count);
        return ByteView(data_ + at, count, what_);
    }

    [[noreturn]] void Fail(const std::string& reason) const { throw SkinError(what_ + reason); }

    void Require(std::size_t at, std::size_t count) const {
        if (!Has(at, count)) {
            Fail("truncated file");
        }
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::string what_;
};

}  // namespace skin
