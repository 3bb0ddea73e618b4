#pragma once
// The round-robin check of the POP3 accounts: connecting (and dialling), checking one account
// after the other on the timer or on a click, and disconnecting.
#include <set>
#include <string>
#include <vector>

#include "monitor/BusyGuard.h"
#include "monitor/Commun.h"
#include "monitor/DialUpLine.h"
#include "monitor/MailAnnouncer.h"
#include "monitor/MailboxWatch.h"
#include "monitor/MonitorTimers.h"
#include "monitor/MonitorView.h"
#include "monitor/NewsReader.h"
#include "monitor/PopSession.h"
#include "monitor/PopupMenu.h"
#include "monitor/Services.h"
#include "monitor/StatusDisplay.h"
#include "platform/EventPump.h"
#include "skin/SkinModel.h"
#include "skin/Ticker.h"

namespace monitor {

inline constexpr const char* kNoValidAccount = "No valid account ! Please create/activate one!";

// The exact button states the handlers act on (left alone is ShiftState::LeftAlone).
bool RightAlone(const skin::ShiftState& shift);
bool LeftDoubleClick(const skin::ShiftState& shift);

// The check timer's interval in milliseconds for a number of minutes.
int CheckInterval(int minutes);

// The components a check talks to.
struct CheckLinks {
    PopSession& session;
    DialUpLine& line;
    TimerSwitch& Timer;
    platform::EventPump& pump;
    // Read after a connect; the news items of the main menu go with the connection.
    NewsReader& news;
    MainMenuModel& menu;
    // Decides what is new and tells the user.
    MailAnnouncer& announcer;
};

class CheckCycle {
public:
    // All must outlive the cycle.
    CheckCycle(Commun& shared, const MonitorFaces& faces, CheckLinks links,
               skin::TStatusTicker& ticker, StatusDisplay& status, MonitorTimers& timers,
               BusyGuard& guard);
    CheckCycle(const CheckCycle&) = delete;
    CheckCycle& operator=(const CheckCycle&) = delete;

    void ConnectClick();
    void DoConnect();
    // With false, shows CurrentAccount again from WaitingCount without network traffic.
    void CheckNextAccount(bool check);
    void TimerTimer();
    void DisconnectClick();

    // Push: the watch runs while on line (none until set); its reports check their account
    // out of turn.
    void SetMailboxWatch(MailboxWatch* watch);
    // The accounts changed: while on line, the watch starts again on the new table.
    void WatchAccounts();
    // Ends the watch's connections at once (Disconnect, Exit).
    void StopWatch();
    // Checks the account now, out of its turn; while another check or a fetch runs, once that
    // has ended, and while a dialog holds the timers, once they run again (one waiting check
    // per account).
    void CheckAccountNow(int number);

private:
    int FirstValidAccount() const;
    int NextAccountToCheck() const;
    // With check, checks account number, or the next in turn when it is 0.
    void RunCheck(bool check, int number = 0);
    void ShowNoValidAccount();

    Commun& m_commun;
    MonitorFaces m_faces;
    PopSession& m_session;
    DialUpLine& m_line;
    TimerSwitch& m_timer;
    platform::EventPump& m_pump;
    NewsReader& m_news;
    MainMenuModel& m_menu;
    MailAnnouncer& m_announcer;
    skin::TStatusTicker& m_ticker;
    StatusDisplay& m_status;
    MonitorTimers& m_timers;
    BusyGuard& m_guard;
    NoMailboxWatch m_noWatch;
    MailboxWatch* m_watch = &m_noWatch;
    // Accounts whose servers reported news while the timers were held.
    std::set<int> m_heldNews;
};

}  // namespace monitor
