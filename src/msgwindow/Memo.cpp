#include "msgwindow/Memo.h"

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

}  // namespace msgwindow
