#include "msgwindow/Memo.h"

#include <algorithm>

namespace msgwindow {

void MemoLines::Add(const std::string& text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            m_lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    m_lines.push_back(line);
}

void MemoLines::ReplaceLines(std::size_t first, std::size_t count,
                             const std::vector<std::string>& lines) {
    first = std::min(first, m_lines.size());
    count = std::min(count, m_lines.size() - first);
    const auto at = m_lines.begin() + static_cast<std::ptrdiff_t>(first);
    m_lines.insert(m_lines.erase(at, at + static_cast<std::ptrdiff_t>(count)), lines.begin(),
                   lines.end());
}

}  // namespace msgwindow
