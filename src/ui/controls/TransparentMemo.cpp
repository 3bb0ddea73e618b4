#include "ui/controls/TransparentMemo.h"

#include <QMouseEvent>
#include <QTimer>

namespace uicontrols {

TTransparentMemo::TTransparentMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setFrameShape(QFrame::NoFrame);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    setPalette(colours);
}

void TTransparentMemo::SetText(const QString& text) {
    setPlainText(text);
    RequestRefresh();
}

void TTransparentMemo::RequestRefresh() {
    if (m_refreshPending) {
        return;
    }
    m_refreshPending = true;
    QTimer::singleShot(0, this, [this] { Refresh(); });
}

void TTransparentMemo::Refresh() {
    m_refreshPending = false;
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection()) {
        cursor.clearSelection();
        setTextCursor(cursor);
    }
    if (parentWidget() != nullptr) {
        parentWidget()->update(geometry());
    }
    viewport()->update();
    update();
}

void TTransparentMemo::keyPressEvent(QKeyEvent* event) {
    RequestRefresh();
    QPlainTextEdit::keyPressEvent(event);
    RequestRefresh();
}

void TTransparentMemo::mousePressEvent(QMouseEvent* event) {
    RequestRefresh();
    QPlainTextEdit::mousePressEvent(event);
    RequestRefresh();
}

void TTransparentMemo::mouseReleaseEvent(QMouseEvent* event) {
    RequestRefresh();
    QPlainTextEdit::mouseReleaseEvent(event);
    RequestRefresh();
}

void TTransparentMemo::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    // A drag selects while it moves; the see-through box shows no selection.
    if (event->buttons() != Qt::NoButton) {
        RequestRefresh();
    }
}

void TTransparentMemo::scrollContentsBy(int dx, int dy) {
    QPlainTextEdit::scrollContentsBy(dx, dy);
    RequestRefresh();
}

}  // namespace uicontrols
