#include "ui/msgwindow/TextBlocks.h"

#include <QTextBlock>

#include <algorithm>

namespace uimsgwindow {

std::vector<std::string> BlockLines(const QPlainTextEdit& edit) {
    std::vector<std::string> lines;
    const QTextDocument& document = *edit.document();
    if (document.isEmpty())
        return lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lines.push_back(block.text().toStdString());
    return lines;
}

void ReplaceBlocks(QPlainTextEdit& edit, std::size_t first, std::size_t count,
                   const std::vector<std::string>& lines) {
    QTextDocument& document = *edit.document();
    const int existing = document.isEmpty() ? 0 : document.blockCount();
    const int from = std::min(static_cast<int>(first), existing);
    const int to = std::min(from + static_cast<int>(count), existing);
    QStringList texts;
    for (const std::string& line : lines)
        texts << QString::fromStdString(line);
    QString text = texts.join(QLatin1Char('\n'));

    // The range covers whole lines with the line break after them, or, at the end of the
    // text, the line break before them.
    int start = 0;
    int end = 0;
    bool breakFirst = false;
    if (to < existing) {
        start = document.findBlockByNumber(from).position();
        end = document.findBlockByNumber(to).position();
        if (!texts.isEmpty())
            text += QLatin1Char('\n');
    } else if (from > 0) {
        const QTextBlock before = document.findBlockByNumber(from - 1);
        start = before.position() + before.length() - 1;
        end = document.characterCount() - 1;
        breakFirst = !texts.isEmpty();
        if (breakFirst)
            text.prepend(QLatin1Char('\n'));
    } else {
        end = existing == 0 ? 0 : document.characterCount() - 1;
    }
    // A caret in the replaced lines (typing had just reached them) stays at their start
    // instead of following the new text to its end.
    const int caret = edit.textCursor().position();
    const bool caretInside = caret >= start && caret < end;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    cursor.endEditBlock();
    if (caretInside) {
        QTextCursor moved = edit.textCursor();
        moved.setPosition(start + (breakFirst ? 1 : 0));
        edit.setTextCursor(moved);
    }
}

}  // namespace uimsgwindow
