#pragma once
// A label that opens its link through the shell: underlined in its hover colour while the
// pointer is over it, with the link as its hint.
#include <QLabel>

#include <string>

#include "platform/Desktop.h"
#include "ui/controls/ControlState.h"

namespace uicontrols {

class TWebLnk final : public QLabel {
    Q_OBJECT
public:
    explicit TWebLnk(QWidget* parent = nullptr);

    const std::string& Link() const { return m_link; }
    void SetLink(const std::string& link);
    LinkType TypeLnk() const { return m_type; }
    void SetTypeLnk(LinkType type) { m_type = type; }
    QColor ColorOn() const { return m_colorOn; }
    void SetColorOn(const QColor& color);
    // Where links are opened; without one a click opens nothing.
    void SetShell(platform::Shell* shell) { m_shell = shell; }
    bool Hover() const { return m_hover; }

    // Opens the link, then raises the click event.
    void Click();

signals:
    void Clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowHover(bool hover);

    std::string m_link;
    LinkType m_type = LinkType::ltWeb;
    QColor m_color;
    QColor m_colorOn = Qt::blue;
    platform::Shell* m_shell = nullptr;
    bool m_hover = false;
};

}  // namespace uicontrols
