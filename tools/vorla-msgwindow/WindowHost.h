#pragma once
// The message window of vorla-msgwindow: TMsgList on an in-memory memo, shown "modally" by
// running the user's steps. It works on the monitor's shared state and reports back to it.
#include <ostream>
#include <string>
#include <vector>

#include "Console.h"
#include "ReplySteps.h"
#include "monitor/TVorla.h"
#include "msgwindow/MsgList.h"

namespace vorlamsgwindow {

class WindowHost final : public monitor::MessageWindow, public msgwindow::MsgListView {
public:
    // The steps run inside ShowModal.
    WindowHost(std::ostream& out, ConsoleMainView& mainView, ConsoleDialogs& dialogs,
               monitor::TVorla& vorla, monitor::PopClient& pop, mail::TQelSMTP& smtp,
               platform::EventPump& pump, platform::Shell& shell);

    void SetSteps(std::vector<std::string> steps) { m_steps = std::move(steps); }

    // The "== NAME" block: the memo, the status last drawn, the waiting count.
    void PrintBlock(const std::string& name);
    // After the double click: the opening block when the window did not open, and what the
    // steps left after a close (they find no window); then closes a window still open.
    void Finish();
    // monitor::MessageWindow
    bool IsVisible() override { return m_visible; }
    void DisplayMessage(int index, bool forceRead) override;
    void ShowModal() override;
    long long CurrentMessageSize() override { return m_list.Mesg->Size; }

    // msgwindow::MsgListView
    void CloseWindow() override { m_visible = false; }
    int Left() override { return m_left; }
    int Top() override { return m_top; }
    void ShowReplyPanel(bool) override {}

    // A step name the tool knows.
    static bool IsStep(const std::string& step);

private:
    void RunStep(const std::string& step);
    void PrintMenu();

    std::ostream& m_out;
    ConsoleMainView& m_mainView;
    ConsoleDialogs& m_dialogs;
    monitor::TVorla& m_vorla;
    msgwindow::MemoLines m_memo;
    msgwindow::TMsgList m_list;
    ReplySteps m_reply;
    std::vector<std::string> m_steps;
    std::size_t m_nextStep = 0;
    bool m_visible = false;
    bool m_opened = false;
    bool m_closedByStep = false;
    int m_left = 0;
    int m_top = 0;
};

}  // namespace vorlamsgwindow
