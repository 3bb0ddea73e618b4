#pragma once
// The hand-over to the message window: a double click on the mail flag opens the mailbox in
// it (or the notepad without mail), with a session of its own, and the check shows the
// mailbox's count again once the window is closed.
#include "monitor/BusyGuard.h"
#include "monitor/CheckCycle.h"
#include "monitor/Commun.h"
#include "monitor/MonitorTimers.h"
#include "monitor/MonitorView.h"
#include "monitor/PopSession.h"
#include "monitor/Services.h"
#include "monitor/StatusDisplay.h"
#include "platform/EventPump.h"
#include "skin/SkinModel.h"
#include "skin/Ticker.h"

namespace monitor {

// The mail side of the hand-over: the client whose retrieval the status line follows, and
// the session the window reads from.
struct HandOverLinks {
    PopClient& POP;
    PopSession& session;
    platform::EventPump& pump;
};

class MessageHandOver {
public:
    // All must outlive the hand-over.
    MessageHandOver(Commun& shared, const MonitorFaces& faces, HandOverLinks links,
                    CheckCycle& cycle, skin::TStatusTicker& ticker, StatusDisplay& status,
                    MonitorTimers& timers, BusyGuard& guard);
    MessageHandOver(const MessageHandOver&) = delete;
    MessageHandOver& operator=(const MessageHandOver&) = delete;

    // The window a double click on the mail flag hands over to; it must outlive the
    // hand-over. Without one, the double click only redraws the status line.
    void SetMessageWindow(MessageWindow& window) { m_messageWindow = &window; }

    void FLAGMouseDown(const skin::ShiftState& mouse);
    // Opens the mailbox of CurrentAccount on message number first, as the double click does
    // on message 1; nothing while the window is open or no mail is waiting.
    void OpenMessage(int first);
    // A click on a new-mail notification: the message window on that message of the account.
    void OpenNewMail(int account, int message);

private:
    void OpenMailbox(int first = 1);
    void OpenNotepad();
    void POPRetrieveProgress(unsigned percent);

    Commun& m_commun;
    WindowView& m_window;
    platform::Dialogs& m_messages;
    HandOverLinks m_links;
    CheckCycle& m_cycle;
    skin::TStatusTicker& m_ticker;
    StatusDisplay& m_status;
    MonitorTimers& m_timers;
    BusyGuard& m_guard;
    MessageWindow* m_messageWindow = nullptr;
};

}  // namespace monitor
