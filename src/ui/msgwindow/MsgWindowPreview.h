#pragma once
// The skin page's preview of the message window: the real window, shown without blocking with
// the skin and position it would open with.
#include "config/ConfigServices.h"
#include "monitor/MsgWindowBridge.h"
#include "ui/msgwindow/MsgWindow.h"

namespace ui {

class MsgWindowPreview final : public config::MessagePreview {
public:
    MsgWindowPreview(monitor::MsgWindowBridge& bridge, MsgWindow& window)
        : m_bridge(bridge), m_window(window) {}

    bool IsVisible() override { return m_window.isVisible(); }
    void ShowPreview() override {
        // The placement reads the saved position and On Top from the shared settings.
        m_bridge.TakeFromMonitor();
        m_window.ApplyFormShow();
        m_window.show();
        m_window.raise();
    }
    void Hide() override { m_window.hide(); }

private:
    monitor::MsgWindowBridge& m_bridge;
    MsgWindow& m_window;
};

}  // namespace ui
