#pragma once
// The message window works on a msgwindow::SharedState while TVorla still keeps the same state
// in its own fields: the bridge copies the monitor's state in when the window opens or asks the
// main window to redisplay, and writes back what the window changes. It is the MessageWindow
// the monitor hands over to, and forwards to the real window.
#include <string>

#include "monitor/Monitor.h"
#include "msgwindow/SharedState.h"

namespace monitor {

class MsgWindowBridge final : public MessageWindow, public msgwindow::MainWindowLink {
public:
    explicit MsgWindowBridge(MonitorView& view) : m_view(view) {}

    // Both must be set before the monitor hands over; they must outlive the bridge's use.
    void Attach(TVorla& vorla, MessageWindow& window);
    msgwindow::SharedState& State() { return m_state; }
    // A POP3 error text, as the main window records it.
    void ErrorNotice(const std::string& text) { m_state.ErrorNotice = text; }

    void TakeFromMonitor();
    void GiveToMonitor();

    // MessageWindow
    bool IsVisible() override { return m_window->IsVisible(); }
    void DisplayMessage(int index, bool keepPosition) override;
    void ShowModal() override;
    long long CurrentMessageSize() override { return m_window->CurrentMessageSize(); }

    // msgwindow::MainWindowLink
    void DrawStatus(const std::string& text) override { m_vorla->DrawStatus(text); }
    void CheckNextAccount(bool check) override;

private:
    MonitorView& m_view;
    TVorla* m_vorla = nullptr;
    MessageWindow* m_window = nullptr;
    msgwindow::SharedState m_state;
};

}  // namespace monitor
