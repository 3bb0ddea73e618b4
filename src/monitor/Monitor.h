#pragma once
// TVorla: the logic of the main monitor window. It owns the settings in memory, the account
// and filter tables and the shared window state, runs the round-robin check of the POP3
// accounts and shows everything through a MonitorView. Its handlers carry the names of the
// window events that the desktop shell forwards to them.
#include <functional>
#include <string>
#include <vector>

#include "monitor/MonitorView.h"
#include "monitor/PopupMenu.h"
#include "monitor/Services.h"
#include "monitor/Ticker.h"
#include "platform/Desktop.h"
#include "platform/EventPump.h"
#include "settings/Commun.h"
#include "settings/Config.h"

namespace monitor {

// CurrentAccount before the first check after connecting.
inline constexpr int kNoAccountYet = 99;

inline constexpr const char* kNoValidAccount = "No valid account ! Please create/activate one!";
inline constexpr const char* kNoDialUpEntry = "No dial-up entry ! Please create one or turn dial-up off!";
inline constexpr const char* kInvalidSkin = "-Err :  Invalid SKIN.INI, check the bitmaps.";

enum class MouseButton { Left, Right, Middle };

// A mouse press with its button and modifier state.
struct MouseEvent {
    MouseButton Button = MouseButton::Left;
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    bool DoubleClick = false;

    bool NoModifier() const { return !Shift && !Ctrl && !Alt; }
    bool LeftAlone() const { return Button == MouseButton::Left && NoModifier() && !DoubleClick; }
    bool RightAlone() const { return Button == MouseButton::Right && NoModifier() && !DoubleClick; }
    bool LeftDouble() const { return Button == MouseButton::Left && NoModifier() && DoubleClick; }
};

// The parts the main window works with; they must outlive it.
struct MonitorParts {
    MonitorView& view;
    PopClient& POP;
    DialUp& RASC;
    HttpDownloader& GetNews;
    TimerSwitch& Timer;
    TimerSwitch& Scroll;
    MessageWindow& messageWindow;
    platform::EventPump& pump;
    platform::Shell& shell;
    platform::Autorun& autorun;
    platform::MailtoHandler& mailto;
};

class TVorla {
public:
    // programFolder ends in "/": settings, news files and the help page are found there.
    TVorla(MonitorParts parts, std::string programFolder);
    TVorla(const TVorla&) = delete;
    TVorla& operator=(const TVorla&) = delete;

    // Start-up and shut-down (Startup.cpp). FormCreate returns false when the program ends.
    bool FormCreate();
    bool Init();
    void ShutDown();
    void Exit1Click();
    bool QueryEndSession();
    void FirstPaint();
    void SetAutorun();
    void ApplyOnTop(bool on);
    void AfficheTray(bool modify);
    void TrayMouseDown(MouseButton button);
    bool LoadSkin(bool redraw);
    void StopTimers();
    void StartTimers();
    void DisableButtons();
    void EnableButtons();

    // The check cycle (Monitor.cpp, AccountMenu.cpp, MessageHandOver.cpp).
    void ConnectClick();
    void DoConnect();
    void CheckNextAccount(bool check);
    void ShowConnectionState();
    void ShowMessageCount();
    void TimerTimer();
    void RefreshBtnMouseDown(const MouseEvent& mouse);
    std::vector<AccountMenuItem> BuildAccountMenu() const;
    void MnuClick(int tag);
    void DisconnectClick();
    void POPError(int error, const std::string& text);
    void POPRetrieveProgress(unsigned percent);
    void FLAGMouseDown(const MouseEvent& mouse);

    // New-mail notification (MailClient.cpp).
    void MAILClick();

    // News feed (NewsFeed.cpp).
    void LitSrvNews();
    void LitVrNews();
    void GetNewsDoneFile(const std::string& fileName, long long fileSize);

    // Main popup menu (PopupMenu.cpp).
    const MainMenuModel& PopMnuPopup();
    const MainMenuModel& PopMnu() const { return m_menu; }
    void SwitchSkinClick(const std::string& caption);
    void NewsServerClick(int tag);
    void Actualiser1Click();
    void OnTopClick();
    void AideClick();
    void OtherSkinClick();

    // Settings in memory and the shared window state.
    settings::Config Config;
    settings::Tables Tables;
    bool IsConnected = false;
    int CurrentAccount = kNoAccountYet;
    int WaitingCount = 0;
    bool NotepadMode = false;
    bool FirstPaintPending = true;
    TickerState Ticker;
    std::vector<std::string> NewsServers;
    // When false, ShutDown leaves "Vorla.ini" alone (the command-line check).
    bool SaveOnShutDown = true;

    const std::string& ErrorNotice() const { return m_errorNotice; }
    // Told of every change of ErrorNotice to a non-empty text.
    std::function<void(const std::string&)> OnErrorNotice;

    // True while a check, a message fetch or a news download runs.
    bool Busy() const { return m_busy; }
    const std::string& ProgramFolder() const { return m_programFolder; }

private:
    // Marks the monitor busy for the life of a check, fetch or download; a scope that finds
    // it busy already is false and must not start its operation.
    class BusyScope {
    public:
        explicit BusyScope(TVorla& owner) : m_owner(owner), m_acquired(!owner.m_busy) {
            owner.m_busy = true;
        }
        ~BusyScope() {
            if (m_acquired) {
                m_owner.m_busy = false;
            }
        }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;
        explicit operator bool() const { return m_acquired; }

    private:
        TVorla& m_owner;
        bool m_acquired;
    };

    void SetErrorNotice(const std::string& text);
    void ClearErrorNotice() { m_errorNotice.clear(); }
    bool IsAccount(int number) const { return number >= 1 && number <= Tables.AccountCount; }
    settings::AccountRecord& Account(int number) { return Tables.AccountTable[number - 1]; }
    int FirstValidAccount() const;
    int NextAccountToCheck() const;
    bool DialIfNeeded();
    void RunCheck(bool check);
    bool CheckAccount(int number);
    void ShowNoValidAccount();
    void TakeOfflineIfLineLost();
    void ShowFlagOrEnd(FlagPicture picture, bool quitPop);
    void ShowOnlineOrEnd(bool online, bool quitPop);
    void OpenMailbox();
    void OpenNotepad();
    void ReadServerList();
    void ReadNews();
    std::string DownloadInto(const std::string& url, const std::string& status, const char* file);
    bool StartMailClient();
    void ResetCounter();

    MonitorView& m_view;
    PopClient& m_pop;
    DialUp& m_rasc;
    HttpDownloader& m_getNews;
    TimerSwitch& m_timer;
    TimerSwitch& m_scroll;
    MessageWindow& m_messageWindow;
    platform::EventPump& m_pump;
    platform::Shell& m_shell;
    platform::Autorun& m_autorun;
    platform::MailtoHandler& m_mailto;
    std::string m_programFolder;
    std::string m_errorNotice;
    bool m_busy = false;
    // The account whose server POP points at, for the error text; also during the probe.
    int m_popAccount = kNoAccountYet;
    MainMenuModel m_menu;
};

}  // namespace monitor
