#pragma once
// TVorla: the logic of the main monitor window. It works on the shared window state (Commun:
// the settings in memory, the account and filter tables, the connection's state), runs the
// round-robin check of the POP3 accounts and shows everything through a MonitorView. Its handlers
// carry the names of the window events that the desktop shell forwards to them.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "monitor/BusyGuard.h"
#include "monitor/Commun.h"
#include "monitor/MonitorTimers.h"
#include "monitor/MonitorView.h"
#include "monitor/NewsReader.h"
#include "monitor/PopupMenu.h"
#include "monitor/Services.h"
#include "monitor/StatusDisplay.h"
#include "platform/Desktop.h"
#include "platform/EventPump.h"
#include "skin/MainSurface.h"
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

enum class TrayEvent { LeftDown, RightDown, Other };

// The parts the main window works with; they must outlive it.
struct MonitorParts {
    MonitorView& view;
    PopClient& POP;
    DialUp& RASC;
    HttpDownloader& GetNews;
    TimerSwitch& Timer;
    // Makes the ticker's timer on the window thread.
    platform::TimerHost& tickerTimers;
    platform::EventPump& pump;
    platform::Shell& shell;
    platform::Autorun& autorun;
    platform::MailtoHandler& mailto;
};

// The main window is also what the message window reports back to.
class TVorla final : public MainWindowLink {
public:
    // Both folders end in "/". The skins and the help page are read from programFolder; the
    // settings files and the downloaded news files live in settingsFolder. shared must
    // outlive the monitor.
    TVorla(Commun& shared, MonitorParts parts, std::string programFolder,
           std::string settingsFolder);
    // A program folder that holds its own settings.
    TVorla(Commun& shared, MonitorParts parts, std::string programFolder);
    TVorla(const TVorla&) = delete;
    TVorla& operator=(const TVorla&) = delete;

    // The window a double click on the mail flag hands over to; it must outlive the monitor.
    // Without one, the double click only redraws the status line.
    void SetMessageWindow(MessageWindow& window) { m_messageWindow = &window; }
    Commun& Shared() { return m_commun; }
    const Commun& Shared() const { return m_commun; }

    // Start-up and shut-down (Startup.cpp). FormCreate returns false when the program ends.
    // With goOnLine false the connection and the news wait for GoOnLine, so that a window
    // can be shown first.
    bool FormCreate(bool goOnLine = true);
    bool Init(bool goOnLine = true);
    void GoOnLine();
    void ShutDown();
    void Exit1Click();
    bool QueryEndSession();
    // Writes "Vorla.ini" with the window's position; throws SettingsWriteError.
    void SaveSettings();
    // A session checkpoint: the settings are saved and the program goes on.
    void CommitData();
    void FirstPaint();
    void SetAutorun();
    void ApplyOnTop(bool on);
    void TrayCallback(TrayEvent event);
    bool LoadSkin(bool redraw);
    void DisableButtons();
    void EnableButtons();

    // The check cycle (Monitor.cpp, AccountMenu.cpp, MessageHandOver.cpp).
    void ConnectClick();
    void DoConnect();
    void CheckNextAccount(bool check) override;
    // The message window's status texts.
    void DrawStatus(const std::string& text) override { m_status.DrawStatus(text); }
    void TimerTimer();
    void RefreshBtnMouseDown(const skin::ShiftState& mouse);
    std::vector<AccountMenuItem> BuildAccountMenu() const;
    void MnuClick(int tag);
    void DisconnectClick();
    void POPError(int error, const std::string& text);
    void POPRetrieveProgress(unsigned percent);
    void FLAGMouseDown(const skin::ShiftState& mouse);

    // New-mail notification (MailClient.cpp).
    void MAILClick();

    // Main popup menu (PopupMenu.cpp).
    const MainMenuModel& PopMnuPopup();
    const MainMenuModel& PopMnu() const { return m_menu; }
    void SwitchSkinClick(const std::string& caption);
    void OnTopClick();
    void AideClick();
    void OtherSkinClick();

    skin::MainWindowSkin Skin;
    skin::TStatusTicker Ticker;
    // When false, ShutDown leaves "Vorla.ini" alone (the command-line check).
    bool SaveOnShutDown = true;

    // Holds off the handlers that arrive while a check, a fetch or a download runs.
    BusyGuard& Guard() { return m_guard; }
    StatusDisplay& Status() { return m_status; }
    MonitorTimers& Timers() { return m_timers; }
    NewsReader& News() { return m_news; }
    const std::string& ProgramFolder() const { return m_programFolder; }
    const std::string& SettingsFolder() const { return m_settingsFolder; }

private:
    // The ticker's questions to its owner.
    class TickerLink final : public skin::TickerOwner {
    public:
        explicit TickerLink(TVorla& owner) : m_owner(owner) {}
        bool IsConnected() const override { return m_owner.m_commun.IsConnected; }
        std::string ErrorNotice() const override { return m_owner.m_commun.ErrorNotice(); }
        void LitVrNews() override { m_owner.m_news.LitVrNews(); }
        void OpenLink(const std::string& url) override { m_owner.m_shell.OpenDocument(url); }
        void TextImageChanged(skin::TextImage image) override {
            m_owner.m_view.TextImageChanged(image);
        }

    private:
        TVorla& m_owner;
    };

    int FirstValidAccount() const;
    int NextAccountToCheck() const;
    bool DialIfNeeded(bool& dialled);
    void HangUpLine();
    bool ProbeServer();
    void QuitSession();
    // Connects to the server set on POP, logs in and counts the messages into WaitingCount.
    // True when the session is open; otherwise ErrorNotice may say why.
    bool OpenSession();
    void ReportPopFault(const std::string& text);
    void ReportUnexplainedFailure();
    // Asks the running operation to stop; a session it has not opened yet is not opened.
    void AbortOperation();
    // True, with the reason reported, when the running operation was asked to stop.
    bool StopIfAborted();
    void RunCheck(bool check);
    bool CheckAccount(int number);
    void ShowNoValidAccount();
    // LoadSkin for a skin chosen from the menu: a skin.ini that cannot be read is a failed
    // load like any other, with no message of its own and no end of the program.
    bool TrySkin();
    void ShowSkin(bool redraw);
    void TakeOfflineIfLineLost();
    void OpenMailbox();
    void OpenNotepad();
    bool StartMailClient();
    void ResetCounter();

    Commun& m_commun;
    MonitorView& m_view;
    PopClient& m_pop;
    DialUp& m_rasc;
    TimerSwitch& m_timer;
    MessageWindow* m_messageWindow = nullptr;
    platform::EventPump& m_pump;
    platform::Shell& m_shell;
    platform::Autorun& m_autorun;
    platform::MailtoHandler& m_mailto;
    std::string m_programFolder;
    std::string m_settingsFolder;
    BusyGuard m_guard{m_view};
    MonitorTimers m_timers{m_commun, m_view, Ticker, m_timer};
    NewsReader m_news;
    StatusDisplay m_status{m_commun, m_view, Skin, Ticker, [this] { QuitSession(); }};
    // The account whose server POP points at, for the error text; also during the probe.
    int m_popAccount = kNoAccountYet;
    MainMenuModel m_menu;
    TickerLink m_tickerLink{*this};
};

}  // namespace monitor
