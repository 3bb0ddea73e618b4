#pragma once
// The lines of a plain text edit as the message window's logic sees them: one UTF-8 string
// per text block.
#include <QPlainTextEdit>

#include <string>
#include <vector>

namespace uimsgwindow {

// The edit's lines; none when it is empty.
std::vector<std::string> BlockLines(const QPlainTextEdit& edit);

// Replaces count lines from line first with lines, in one undo step; the edit's caret moves
// with the text around it.
void ReplaceBlocks(QPlainTextEdit& edit, std::size_t first, std::size_t count,
                   const std::vector<std::string>& lines);

}  // namespace uimsgwindow
