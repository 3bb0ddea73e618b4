#pragma once
// The round-robin check of the POP3 accounts: connecting (and dialling), checking one account
// after the other on the timer or on a click, disconnecting, and handing the open session
// over to the message window.
#include <string>
#include <vector>

#include "monitor/BusyGuard.h"
#include "monitor/Commun.h"
#include "monitor/MonitorTimers.h"
#include "monitor/MonitorView.h"
#include "monitor/NewsReader.h"
#include "monitor/PopupMenu.h"
#include "monitor/Services.h"
#include "monitor/StatusDisplay.h"
#include "platform/EventPump.h"
#include "skin/SkinModel.h"
#include "skin/Ticker.h"

namespace monitor {

inline constexpr const char* kNoValidAccount = "No valid account ! Please create/activate one!";
// The reason of a check stopped by Disconnect or Exit before its session was opened.
inline constexpr const char* kOperationCanceled = "Operation canceled";
inline constexpr const char* kNoDialUpEntry =
    "No dial-up entry ! Please create one or turn dial-up off!";

// The exact button states the handlers act on (left alone is ShiftState::LeftAlone).
bool RightAlone(const skin::ShiftState& shift);
bool LeftDoubleClick(const skin::ShiftState& shift);

// The check timer's interval in milliseconds for a number of minutes.
int CheckInterval(int minutes);

// The components a check talks to.
struct CheckLinks {
    PopClient& POP;
    DialUp& RASC;
    TimerSwitch& Timer;
    platform::EventPump& pump;
};

class CheckCycle {
public:
    // All must outlive the cycle. menu is the main popup menu, whose news items go with the
    // connection.
    CheckCycle(Commun& shared, MonitorView& view, CheckLinks links, skin::TStatusTicker& ticker,
               StatusDisplay& status, MonitorTimers& timers, BusyGuard& guard, NewsReader& news,
               MainMenuModel& menu);
    CheckCycle(const CheckCycle&) = delete;
    CheckCycle& operator=(const CheckCycle&) = delete;

    // The window a double click on the mail flag hands over to; it must outlive the cycle.
    // Without one, the double click only redraws the status line.
    void SetMessageWindow(MessageWindow& window) { m_messageWindow = &window; }

    void ConnectClick();
    void DoConnect();
    // With false, shows CurrentAccount again from WaitingCount without network traffic.
    void CheckNextAccount(bool check);
    void TimerTimer();
    void RefreshBtnMouseDown(const skin::ShiftState& mouse);
    std::vector<AccountMenuItem> BuildAccountMenu() const;
    void MnuClick(int tag);
    void DisconnectClick();
    void POPError(int error, const std::string& text);
    void POPRetrieveProgress(unsigned percent);
    void FLAGMouseDown(const skin::ShiftState& mouse);

    // Ends the open POP3 session, if any; a failing goodbye is reported as an error.
    void QuitSession();
    // Asks the running operation to stop; a session it has not opened yet is not opened.
    void AbortOperation();

private:
    int FirstValidAccount() const;
    int NextAccountToCheck() const;
    bool DialIfNeeded(bool& dialled);
    void HangUpLine();
    bool ProbeServer();
    // Connects to the server set on POP, logs in and counts the messages into WaitingCount.
    // True when the session is open; otherwise ErrorNotice may say why.
    bool OpenSession();
    void ReportPopFault(const std::string& text);
    std::string FailureReason(const settings::AccountRecord& account) const;
    // A fault that left a call, unless the client's error event has reported it already.
    void ReportPopFault(const PopError& e);
    void ReportUnexplainedFailure();
    // True, with the reason reported, when the running operation was asked to stop.
    bool StopIfAborted();
    void RunCheck(bool check);
    bool CheckAccount(int number);
    void ShowNoValidAccount();
    void TakeOfflineIfLineLost();
    void OpenMailbox();
    void OpenNotepad();

    Commun& m_commun;
    MonitorView& m_view;
    PopClient& m_pop;
    DialUp& m_rasc;
    TimerSwitch& m_timer;
    platform::EventPump& m_pump;
    skin::TStatusTicker& m_ticker;
    StatusDisplay& m_status;
    MonitorTimers& m_timers;
    BusyGuard& m_guard;
    NewsReader& m_news;
    MainMenuModel& m_menu;
    MessageWindow* m_messageWindow = nullptr;
    // The last OpenSession failed because the server refused the login.
    bool m_loginRefused = false;
};

}  // namespace monitor
