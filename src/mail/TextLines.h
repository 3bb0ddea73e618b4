#pragma once
// The lines of a message's text body, kept compactly: the characters of all lines in one
// string and where each line begins in one array of 32-bit offsets, so a short line costs its
// bytes and four more rather than a string object of its own. A line may hold any byte,
// line breaks included. Lines are read as views, valid until the lines change.
#include <compare>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace mail {

class TextLines {
public:
    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        const_iterator(const TextLines* lines, std::size_t index)
            : m_lines(lines), m_index(index) {}
        std::string_view operator*() const { return (*m_lines)[m_index]; }
        std::string_view operator[](difference_type n) const {
            return (*m_lines)[m_index + static_cast<std::size_t>(n)];
        }
        const_iterator& operator++() {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++m_index;
            return before;
        }
        const_iterator& operator--() {
            --m_index;
            return *this;
        }
        const_iterator operator--(int) {
            const_iterator before = *this;
            --m_index;
            return before;
        }
        const_iterator& operator+=(difference_type n) {
            m_index += static_cast<std::size_t>(n);
            return *this;
        }
        const_iterator& operator-=(difference_type n) {
            m_index -= static_cast<std::size_t>(n);
            return *this;
        }
        friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
        friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
        friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return static_cast<difference_type>(a.m_index) -
                   static_cast<difference_type>(b.m_index);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.m_index == b.m_index;
        }
        friend auto operator<=>(const const_iterator& a, const const_iterator& b) {
            return a.m_index <=> b.m_index;
        }

    private:
        const TextLines* m_lines = nullptr;
        std::size_t m_index = 0;
    };
    using iterator = const_iterator;
    using value_type = std::string_view;
    using size_type = std::size_t;

    TextLines() = default;
    TextLines(std::initializer_list<std::string_view> lines);

    std::size_t size() const { return m_starts.size(); }
    bool empty() const { return m_starts.empty(); }
    std::string_view operator[](std::size_t index) const {
        const std::size_t begin = m_starts[index];
        const std::size_t end = index + 1 < m_starts.size() ? m_starts[index + 1] : m_chars.size();
        return std::string_view(m_chars).substr(begin, end - begin);
    }
    // Raises std::out_of_range for an index past the last line.
    std::string_view at(std::size_t index) const;
    std::string_view front() const { return (*this)[0]; }
    std::string_view back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // Raises std::length_error when the characters of all lines would pass 4 GB.
    void push_back(std::string_view line);
    // Room for that many more lines and characters; grows at least twofold so that many
    // small reservations in a row stay linear.
    void ReserveMore(std::size_t lines, std::size_t chars);
    // Empties the lines and hands their memory back.
    void clear();

    friend bool operator==(const TextLines& a, const TextLines& b) {
        return a.m_starts == b.m_starts && a.m_chars == b.m_chars;
    }

private:
    std::string m_chars;
    std::vector<std::uint32_t> m_starts;
};

}  // namespace mail
