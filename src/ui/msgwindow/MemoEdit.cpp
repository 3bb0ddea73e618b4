#include "ui/msgwindow/MemoEdit.h"

#include <QApplication>
#include <QKeyEvent>

#include "ui/msgwindow/TextBlocks.h"

namespace uimsgwindow {

MemoEdit::MemoEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setFrameShape(QFrame::NoFrame);
    setTabChangesFocus(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; border: none; }"));
    // The window's own popup menu serves the memo too.
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QPlainTextEdit::selectionChanged, this, &MemoEdit::DropSelection);
}

void MemoEdit::Clear() {
    m_pending.clear();
    clear();
}

void MemoEdit::Add(const std::string& text) {
    // Lines come as UTF-8; a line break inside one starts further lines.
    QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (m_pending.isEmpty())
        QMetaObject::invokeMethod(this, &MemoEdit::Flush, Qt::QueuedConnection);
    m_pending.append(line);
}

void MemoEdit::Flush() {
    if (m_pending.isEmpty())
        return;
    const QString text = m_pending.join(QLatin1Char('\n'));
    m_pending.clear();
    if (document()->isEmpty())
        setPlainText(text);
    else
        appendPlainText(text);
}

std::vector<std::string> MemoEdit::Lines() const {
    std::vector<std::string> lines = BlockLines(*this);
    for (const QString& pending : m_pending)
        for (const QString& line : pending.split(QLatin1Char('\n')))
            lines.push_back(line.toStdString());
    return lines;
}

void MemoEdit::ReplaceLines(std::size_t first, std::size_t count,
                            const std::vector<std::string>& lines) {
    Flush();
    ReplaceBlocks(*this, first, count, lines);
}

void MemoEdit::SetReadOnly(bool readOnly) {
    setReadOnly(readOnly);
    // A message is still read with the keyboard: Up, Down, Home and End move through it.
    if (readOnly)
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void MemoEdit::CaretToStart() {
    Flush();
    moveCursor(QTextCursor::Start);
    ensureCursorVisible();
}

void MemoEdit::PressKey(Qt::Key key) {
    Flush();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(this, &press);
}

void MemoEdit::DropSelection() {
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return;
    cursor.clearSelection();
    setTextCursor(cursor);
}

}  // namespace uimsgwindow
