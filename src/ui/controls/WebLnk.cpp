#include "ui/controls/WebLnk.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace uicontrols {

TWebLnk::TWebLnk(QWidget* parent) : QLabel(parent) {
    resize(20, 10);
    setFocusPolicy(Qt::TabFocus);
    m_color = palette().color(QPalette::WindowText);
    ShowHover(false);
}

void TWebLnk::SetLink(const std::string& link) {
    m_link = link;
    ShowHover(m_hover);
}

void TWebLnk::SetColorOn(const QColor& color) {
    m_colorOn = color;
    ShowHover(m_hover);
}

void TWebLnk::ShowHover(bool hover) {
    m_hover = hover;
    QFont shown = font();
    shown.setUnderline(hover);
    setFont(shown);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, hover ? m_colorOn : m_color);
    setPalette(colours);
    setCursor(hover ? Qt::PointingHandCursor : Qt::ArrowCursor);
    setToolTip(hover ? QString::fromStdString(m_link) : QString());
    adjustSize();
    update();
}

void TWebLnk::Click() {
    const std::string target = LinkTarget(m_link, m_type);
    if (m_shell != nullptr && !target.empty()) {
        m_shell->OpenDocument(target);
    }
    emit Clicked();
}

void TWebLnk::enterEvent(QEnterEvent* event) {
    ShowHover(true);
    QLabel::enterEvent(event);
}

void TWebLnk::leaveEvent(QEvent* event) {
    ShowHover(false);
    QLabel::leaveEvent(event);
}

void TWebLnk::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Click();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void TWebLnk::keyPressEvent(QKeyEvent* event) {
    // Keyboard users reach the link by tab and open it as a button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Space) {
        Click();
        return;
    }
    QLabel::keyPressEvent(event);
}

}  // namespace uicontrols
