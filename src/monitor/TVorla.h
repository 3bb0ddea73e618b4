#pragma once
// TVorla: the logic of the main monitor window. It starts and ends the program, and builds the
// window's jobs on the shared window state (Commun: the settings in memory, the account and
// filter tables, the connection's state): the check cycle, the status display, the news feed,
// the mail button, the timers and the busy guard. Everything shows through the MonitorFaces. The
// handlers carry the names of the window events that the desktop shell forwards to them.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "monitor/AccountMenu.h"
#include "monitor/BusyGuard.h"
#include "monitor/CheckCycle.h"
#include "monitor/Commun.h"
#include "monitor/DialUpLine.h"
#include "monitor/MailAnnouncer.h"
#include "monitor/MailClient.h"
#include "monitor/MessageHandOver.h"
#include "monitor/MonitorTimers.h"
#include "monitor/MonitorView.h"
#include "monitor/NewsReader.h"
#include "monitor/PopSession.h"
#include "monitor/PopupMenu.h"
#include "monitor/Services.h"
#include "monitor/StatusDisplay.h"
#include "platform/Desktop.h"
#include "platform/EventPump.h"
#include "platform/Links.h"
#include "skin/MainSurface.h"
#include "skin/SkinModel.h"
#include "skin/Ticker.h"

namespace monitor {

enum class TrayEvent { LeftDown, RightDown, Other };

// The parts the main window works with; they must outlive it.
struct MonitorParts {
    MonitorFaces view;
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
    void SetMessageWindow(MessageWindow& window) { m_handOver.SetMessageWindow(window); }
    Commun& Shared() { return m_commun; }
    const Commun& Shared() const { return m_commun; }

    // Start-up and shut-down. FormCreate returns false when the program ends.
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

    // What the message window asks of the main window.
    void CheckNextAccount(bool check) override { m_cycle.CheckNextAccount(check); }
    void DrawStatus(const std::string& text) override { m_status.DrawStatus(text); }
    ScreenPoint Place() override {
        const WindowPosition position = m_view.window.Position();
        return {position.Left, position.Top};
    }

    // Main popup menu (PopupMenu.cpp).
    const MainMenuModel& PopMnuPopup();
    const MainMenuModel& PopMnu() const { return m_menu; }
    void SwitchSkinClick(const std::string& caption);
    void OnTopClick();
    void AideClick();
    void OtherSkinClick();

    // The skin the windows draw, and the ticker that scrolls in its status line.
    skin::MainWindowSkin& Skin() { return m_skin; }
    const skin::MainWindowSkin& Skin() const { return m_skin; }
    skin::TStatusTicker& Ticker() { return m_ticker; }
    const skin::TStatusTicker& Ticker() const { return m_ticker; }
    // With false, ShutDown leaves "Vorla.ini" alone (the command-line check).
    void SetSaveOnShutDown(bool save) { m_saveOnShutDown = save; }

    // Holds off the handlers that arrive while a check, a fetch or a download runs.
    BusyGuard& Guard() { return m_guard; }
    StatusDisplay& Status() { return m_status; }
    MonitorTimers& Timers() { return m_timers; }
    NewsReader& News() { return m_news; }
    CheckCycle& Cycle() { return m_cycle; }
    MailAnnouncer& Announcer() { return m_announcer; }
    // A click on a new-mail notification: the message window on that message of the account.
    void OpenNewMail(int account, int message);
    AccountMenu& Accounts() { return m_accounts; }
    MessageHandOver& HandOver() { return m_handOver; }
    MailClientLauncher& MailClient() { return m_mailClient; }
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
        // A news item's link comes from a news server: only a web page is opened.
        void OpenLink(const std::string& url) override {
            if (platform::IsWebAddress(url))
                m_owner.m_shell.OpenDocument(url);
        }
        void TextImageChanged(skin::TextImage image) override {
            m_owner.m_view.status.TextImageChanged(image);
        }

    private:
        TVorla& m_owner;
    };

    // LoadSkin for a skin chosen from the menu: a skin.ini that cannot be read is a failed
    // load like any other, with no message of its own and no end of the program.
    bool TrySkin();
    void ShowSkin(bool redraw);

    Commun& m_commun;
    MonitorFaces m_view;
    DialUp& m_rasc;
    platform::Shell& m_shell;
    platform::Autorun& m_autorun;
    std::string m_programFolder;
    std::string m_settingsFolder;
    skin::MainWindowSkin m_skin;
    skin::TStatusTicker m_ticker;
    bool m_saveOnShutDown = true;
    MainMenuModel m_menu;
    BusyGuard m_guard{m_view.dialogs};
    MonitorTimers m_timers;
    StatusDisplay m_status{m_commun, m_view, m_skin, m_ticker, [this] { m_session.QuitSession(); }};
    NewsReader m_news;
    PopSession m_session;
    DialUpLine m_line;
    MailAnnouncer m_announcer;
    CheckCycle m_cycle;
    AccountMenu m_accounts;
    MessageHandOver m_handOver;
    MailClientLauncher m_mailClient;
    TickerLink m_tickerLink{*this};
};

}  // namespace monitor
