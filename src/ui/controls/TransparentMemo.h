#pragma once
// A multi-line text box that never paints its own background, so the window's skin shows
// through. Every key, button, scroll and whole-text change asks for a refresh that clears the
// selection and redraws the parent behind the box.
#include <QPlainTextEdit>

namespace uicontrols {

class TTransparentMemo final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TTransparentMemo(QWidget* parent = nullptr);

    // Replaces the whole text.
    void SetText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Asks for one refresh after the events pending now.
    void RequestRefresh();
    void Refresh();

    bool m_refreshPending = false;
};

}  // namespace uicontrols
