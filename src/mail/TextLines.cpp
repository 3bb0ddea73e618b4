#include "mail/TextLines.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace mail {

namespace {

constexpr std::size_t kMaxChars = std::numeric_limits<std::uint32_t>::max();

template <typename Storage>
void Grow(Storage& storage, std::size_t more) {
    const std::size_t needed = storage.size() + more;
    if (needed > storage.capacity())
        storage.reserve(std::max(needed, storage.capacity() * 2));
}

}  // namespace

TextLines::TextLines(std::initializer_list<std::string_view> lines) {
    for (const std::string_view line : lines)
        push_back(line);
}

std::string_view TextLines::at(std::size_t index) const {
    if (index >= size())
        throw std::out_of_range("TextLines::at");
    return (*this)[index];
}

void TextLines::push_back(std::string_view line) {
    // A line starts at the current end, so that end must fit an offset, and so must the end
    // after it (the start of any line that follows).
    if (m_chars.size() + line.size() > kMaxChars)
        throw std::length_error("TextLines: text too long");
    m_starts.push_back(static_cast<std::uint32_t>(m_chars.size()));
    m_chars.append(line);
}

void TextLines::ReserveMore(std::size_t lines, std::size_t chars) {
    Grow(m_starts, lines);
    Grow(m_chars, std::min(chars, kMaxChars - std::min(kMaxChars, m_chars.size())));
}

void TextLines::clear() {
    std::string().swap(m_chars);
    std::vector<std::uint32_t>().swap(m_starts);
}

}  // namespace mail
