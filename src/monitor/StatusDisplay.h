#pragma once
// What the main window shows of the connection: the status line and the count drawn with the
// skin's fonts, the mail flag, the online picture, the tray icon with its tool tip and the error
// notice that the ticker scrolls. The flag, the tray and the count are all taken from the
// shared state, so they never disagree.
#include <functional>
#include <string>

#include "monitor/Commun.h"
#include "monitor/MonitorView.h"
#include "settings/FindInSkin.h"
#include "skin/SkinModel.h"
#include "skin/Ticker.h"

namespace monitor {

inline constexpr const char* kNoSystemTray = "No system tray on this desktop";
// The notice of a start without any account: where an account is set up.
inline constexpr const char* kNoAccountNotice =
    "No account: right-click, Configure, Incoming Mails, Find settings";
// The reason of a failed check whose server refused the login, as the tray's tool tip says it.
inline constexpr const char* kLoginRefused = "login refused";

class StatusDisplay {
public:
    // All but endSession must outlive the display. endSession closes the open POP3 session
    // before a skin picture that cannot be loaded ends the program.
    StatusDisplay(Commun& shared, const MonitorFaces& faces, skin::MainWindowSkin& skin,
                  skin::TStatusTicker& ticker, std::function<void()> endSession);
    StatusDisplay(const StatusDisplay&) = delete;
    StatusDisplay& operator=(const StatusDisplay&) = delete;

    // Draws text into the status line with the skin's font and shows it.
    void DrawStatus(const std::string& text);
    void DrawCount(int count);
    void DrawCount(const std::string& count);
    // Mail waits in CurrentAccount, as counted by a check that did not fail.
    bool MailWaiting() const;
    // The tray picture of the state: disconnected, mail waiting, or connected without mail.
    TrayIcon CurrentTrayIcon() const;
    // The count as the window shows it: "-" when the last check of CurrentAccount failed.
    std::string CountText() const;
    // "Vorla", then one line per active account: its count or why its last check failed.
    std::string TrayToolTip() const;
    void ShowTrayToolTip();
    // Redraws the flag, the tray icon, its tool tip and the count from the shared state.
    void ShowMailState();
    // Records an error of a check, dial-up or session as the notice and scrolls it in the
    // ticker.
    void ReportError(const std::string& text);
    // The flag, status line, count, hint, tray and online picture of the connection's state.
    void ShowConnectionState();
    // "NAME n messages" of CurrentAccount in the status line.
    void ShowMessageCount();
    // Shows the flag's picture; one that cannot be loaded ends the program, after closing the
    // POP3 session when quitPop is set.
    void ShowFlagOrEnd(FlagPicture picture, bool quitPop);
    void ShowOnlineOrEnd(bool online, bool quitPop);
    // Adds the tray icon with the connection's picture (updates it when modify is set), or
    // removes it when the settings want none.
    void AfficheTray(bool modify);
    // The settings want the tray (its icon, or a start hidden in it) and the desktop has none.
    bool TrayMissing();
    // With the tray missing, the status line says so, once a run.
    void SayTrayMissingOnce();

private:
    Commun& m_commun;
    StatusView& m_view;
    TrayView& m_tray;
    // A skin picture that cannot be shown ends the program.
    settings::FatalSinks m_fatal;
    skin::MainWindowSkin& m_skin;
    skin::TStatusTicker& m_ticker;
    std::function<void()> m_endSession;
    bool m_trayMissingSaid = false;
};

}  // namespace monitor
