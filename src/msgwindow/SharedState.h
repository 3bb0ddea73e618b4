#pragma once
// What the message window shares with the main window: the state both read and change, and
// the few things it asks the main window to do. The main window owns the state.
#include <string>

#include "settings/Commun.h"
#include "settings/Config.h"

namespace msgwindow {

// CurrentAccount before the first check after connecting.
inline constexpr int kNoAccountYet = 99;

struct SharedState {
    bool IsConnected = false;
    int CurrentAccount = kNoAccountYet;  // 1-based account checked last
    int WaitingCount = 0;                // messages of CurrentAccount as last counted
    std::string ErrorNotice;             // last POP3 or dial-up error; empty when none
    bool NotepadMode = false;            // the window has no mailbox session
    std::string StatusText;              // what the status line shows between events
    settings::Config Config;
    settings::Tables Tables;
};

// The main window as the message window calls it.
class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;
    // Draws a text into the main window's status line.
    virtual void DrawStatus(const std::string& text) = 0;
    // The main window's CheckNextAccount: with false, shows CurrentAccount again from
    // WaitingCount without network traffic.
    virtual void CheckNextAccount(bool check) = 0;
};

}  // namespace msgwindow
