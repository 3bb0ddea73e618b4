#pragma once
// The text area `Mess` as the window's logic sees it: a list of UTF-8 lines the user may
// also edit. MemoLines keeps them in memory for the headless tool and the tests.
#include <string>
#include <vector>

namespace msgwindow {

class Memo {
public:
    virtual ~Memo() = default;
    virtual void Clear() = 0;
    // Appends text as one line; line breaks inside it start further lines.
    virtual void Add(const std::string& text) = 0;
    virtual std::vector<std::string> Lines() const = 0;
    // Replaces count lines from line first (0-based) with lines, which hold no line breaks;
    // the other lines and the caret's place in them stay. first may be the line count.
    virtual void ReplaceLines(std::size_t first, std::size_t count,
                              const std::vector<std::string>& lines) = 0;
    // A read-only memo still scrolls and pages; only the user's typing is refused.
    virtual void SetReadOnly(bool readOnly) = 0;
    // Scrolls by one page, as the Page Up and Page Down keys do.
    virtual void PageUp() = 0;
    virtual void PageDown() = 0;
    // Puts the caret at the start, so the top of the text shows.
    virtual void CaretToStart() = 0;
};

class MemoLines final : public Memo {
public:
    void Clear() override { m_lines.clear(); }
    void Add(const std::string& text) override;
    std::vector<std::string> Lines() const override { return m_lines; }
    void ReplaceLines(std::size_t first, std::size_t count,
                      const std::vector<std::string>& lines) override;
    void SetReadOnly(bool value) override { readOnly = value; }
    void PageUp() override { ++pageUps; }
    void PageDown() override { ++pageDowns; }
    void CaretToStart() override { ++caretResets; }

    int pageUps = 0;
    int pageDowns = 0;
    int caretResets = 0;
    bool readOnly = false;

private:
    std::vector<std::string> m_lines;
};

}  // namespace msgwindow
