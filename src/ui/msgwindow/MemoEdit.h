#pragma once
// The message window's text area `Mess`: a plain text edit without a background of its own,
// so the skin's picture shows through, and without a selection (every selection made is
// dropped at once). It stands in for the skinned transparent memo until that control exists.
#include <QPlainTextEdit>

#include "msgwindow/Memo.h"

namespace uimsgwindow {

class MemoEdit final : public QPlainTextEdit, public msgwindow::Memo {
    Q_OBJECT
public:
    explicit MemoEdit(QWidget* parent);

    void Clear() override;
    // Lines are collected and put into the document together, at the latest when events
    // run next: a long message is laid out once instead of once per line.
    void Add(const std::string& text) override;
    std::vector<std::string> Lines() const override;
    void ReplaceLines(std::size_t first, std::size_t count,
                      const std::vector<std::string>& lines) override;
    void SetReadOnly(bool readOnly) override;
    void PageUp() override { PressKey(Qt::Key_PageUp); }
    void PageDown() override { PressKey(Qt::Key_PageDown); }
    void CaretToStart() override;

private:
    void Flush();
    void PressKey(Qt::Key key);
    void DropSelection();

    QStringList m_pending;
};

}  // namespace uimsgwindow
