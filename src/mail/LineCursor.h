#pragma once
// Walks the lines of a text held elsewhere without copying them: a line ends at CRLF, LF or CR,
// exactly where SplitLines splits, so a range of the text that begins and ends at line starts
// holds the same lines as that run of SplitLines' result.
#include <cstddef>
#include <string_view>

namespace mail {

class LineCursor {
public:
    explicit LineCursor(std::string_view text, std::size_t from = 0) : m_text(text), m_at(from) {}

    // The next line without its line break; false when the text is used up.
    bool Next(std::string_view& line);
    // Offset of the first byte of the line that Next gives next (the text's size at the end).
    std::size_t Position() const { return m_at; }

private:
    std::string_view m_text;
    std::size_t m_at;
};

// Offset just past the line break that ends the line beginning at `from`, or the text's size.
std::size_t NextLineStart(std::string_view text, std::size_t from);
// Whether a line begins at offset `at` of text.
bool IsLineStart(std::string_view text, std::size_t at);
// How many lines the text holds (as LineCursor walks it).
std::size_t CountLines(std::string_view text);
// Offset where the last line of text begins (a final line break does not start another one);
// 0 for a text of one line or none.
std::size_t LastLineStart(std::string_view text);

}  // namespace mail
