#pragma once
// The dial-up line of the connection: dialling the chosen entry before the first check,
// hanging it up, and taking the window off line when a failed check finds the line lost.
#include <string>

#include "monitor/Commun.h"
#include "monitor/MonitorTimers.h"
#include "monitor/Services.h"
#include "monitor/StatusDisplay.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"

namespace monitor {

inline constexpr const char* kNoDialUpEntry =
    "No dial-up entry ! Please create one or turn dial-up off!";

class DialUpLine {
public:
    // All must outlive the line. messages shows the dialler's faults that have no status.
    DialUpLine(Commun& shared, DialUp& rasc, platform::Dialogs& messages, platform::EventPump& pump,
               StatusDisplay& status, MonitorTimers& timers);
    DialUpLine(const DialUpLine&) = delete;
    DialUpLine& operator=(const DialUpLine&) = delete;

    // Dials entry RAS_num unless the window is on line already; false when no line came up.
    // dialled tells whether this call brought the line up.
    bool DialIfNeeded(bool& dialled);
    void HangUpLine();
    // After a failed check: a line the dialler no longer holds takes the window off line.
    void TakeOfflineIfLineLost();

private:
    Commun& m_commun;
    DialUp& m_rasc;
    platform::Dialogs& m_messages;
    platform::EventPump& m_pump;
    StatusDisplay& m_status;
    MonitorTimers& m_timers;
};

}  // namespace monitor
