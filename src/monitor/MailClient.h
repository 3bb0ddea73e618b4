#pragma once
// How the mail client is found and started: the user's own command or the mailto handler.
#include <string>
#include <vector>

#include "monitor/BusyGuard.h"
#include "monitor/Commun.h"
#include "monitor/StatusDisplay.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "skin/Ticker.h"

namespace monitor {

struct ProgramCall {
    std::string Program;  // empty: nothing to start
    std::vector<std::string> Arguments;
};

// The user's "program,parameters" text split at its first comma; the parameters are split
// into arguments at blanks (double quotes group). The marker "empty" or a blank text gives
// no program.
ProgramCall SplitOwnClient(const std::string& text);

// The registered mailto command turned into the program to start. A command naming a ".exe"
// (any case) starts what comes up to and including it, without a leading double quote and
// without the rest, and "-mail" for Netscape. Any other command is a desktop entry's Exec=
// line: all of it is started, field codes and Flatpak markers removed (SplitExecLine), so
// Snap and Flatpak mail programs start. An empty command gives no program.
ProgramCall MailtoProgram(const std::string& command);

// The mail button `MAIL`: starts the mail client and, when the settings say so, sets the
// account's counter back to none, since the user is now reading the mail.
class MailClientLauncher {
public:
    // All must outlive the launcher.
    MailClientLauncher(Commun& shared, platform::Dialogs& view, platform::Shell& shell,
                       platform::MailtoHandler& mailto, platform::EventPump& pump,
                       skin::TStatusTicker& ticker, StatusDisplay& status, BusyGuard& guard);
    MailClientLauncher(const MailClientLauncher&) = delete;
    MailClientLauncher& operator=(const MailClientLauncher&) = delete;

    void MAILClick();

private:
    bool StartMailClient();
    void ResetCounter();

    Commun& m_commun;
    platform::Dialogs& m_view;
    platform::Shell& m_shell;
    platform::MailtoHandler& m_mailto;
    platform::EventPump& m_pump;
    skin::TStatusTicker& m_ticker;
    StatusDisplay& m_status;
    BusyGuard& m_guard;
};

}  // namespace monitor
