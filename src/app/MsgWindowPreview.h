#pragma once
// The skin page's preview of the message window: the real window, shown without blocking with
// the skin and position it would open with.
#include "config/ConfigServices.h"
#include "ui/msgwindow/MsgWindow.h"

namespace app {

class MsgWindowPreview final : public config::MessagePreview {
public:
    explicit MsgWindowPreview(uimsgwindow::MsgWindow& window) : m_window(window) {}

    bool IsVisible() override { return m_window.isVisible(); }
    void ShowPreview() override {
        m_window.ApplyFormShow();
        m_window.show();
        m_window.raise();
    }
    void Hide() override { m_window.hide(); }

private:
    uimsgwindow::MsgWindow& m_window;
};

}  // namespace app
