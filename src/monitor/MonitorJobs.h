#pragma once
// The jobs of the main monitor window, built once on the shared window state (Commun: the
// settings in memory, the account and filter tables, the connection's state) and wired to each
// other: the skin and its ticker, the check cycle, the status display, the news feed, the
// menus, the hand-over to the message window, the mail button, the timers and the busy guard.
// The composition owns them and hands each to whoever needs it; TVorla drives start and end.
#include <string>

#include "monitor/AccountMenu.h"
#include "monitor/BusyGuard.h"
#include "monitor/CheckCycle.h"
#include "monitor/Commun.h"
#include "monitor/DialUpLine.h"
#include "monitor/MailAnnouncer.h"
#include "monitor/MailClient.h"
#include "monitor/MainMenuActions.h"
#include "monitor/MessageHandOver.h"
#include "monitor/MonitorTimers.h"
#include "monitor/MonitorView.h"
#include "monitor/NewsReader.h"
#include "monitor/PopSession.h"
#include "monitor/Services.h"
#include "monitor/SkinSwitch.h"
#include "monitor/StatusDisplay.h"
#include "platform/Desktop.h"
#include "platform/EventPump.h"
#include "skin/SkinModel.h"
#include "skin/Ticker.h"

namespace monitor {

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

// The ticker's questions to its owner.
class TickerLink final : public skin::TickerOwner {
public:
    TickerLink(const Commun& shared, NewsReader& news, platform::Shell& shell, StatusView& view)
        : m_shared(shared), m_news(news), m_shell(shell), m_view(view) {}
    bool IsConnected() const override { return m_shared.IsConnected; }
    std::string ErrorNotice() const override { return m_shared.ErrorNotice(); }
    void LitVrNews() override { m_news.LitVrNews(); }
    void OpenLink(const std::string& url) override;
    void TextImageChanged(skin::TextImage image) override { m_view.TextImageChanged(image); }

private:
    const Commun& m_shared;
    NewsReader& m_news;
    platform::Shell& m_shell;
    StatusView& m_view;
};

class MonitorJobs {
public:
    // Both folders end in "/". The skins and the help page are read from programFolder; the
    // settings files and the downloaded news files live in settingsFolder. shared and the
    // parts must outlive the jobs.
    MonitorJobs(Commun& shared, const MonitorParts& parts, std::string programFolder,
                std::string settingsFolder);
    // A program folder that holds its own settings.
    MonitorJobs(Commun& shared, const MonitorParts& parts, const std::string& programFolder)
        : MonitorJobs(shared, parts, programFolder, programFolder) {}
    MonitorJobs(const MonitorJobs&) = delete;
    MonitorJobs& operator=(const MonitorJobs&) = delete;

    Commun& Shared;
    const std::string ProgramFolder;
    const std::string SettingsFolder;

    // The skin the windows draw, and the ticker that scrolls in its status line.
    skin::MainWindowSkin Skin;
    skin::TStatusTicker Ticker;
    // Holds off the handlers that arrive while a check, a fetch or a download runs.
    BusyGuard Guard;
    MonitorTimers Timers;
    StatusDisplay Status;
    NewsReader News;
    PopSession Session;
    DialUpLine Line;
    // Decides which mail is new and tells the user.
    MailAnnouncer Announcer;
    SkinSwitch Skins;
    MainMenuActions Menu;
    CheckCycle Cycle;
    AccountMenu Accounts;
    MessageHandOver HandOver;
    MailClientLauncher MailClient;

private:
    TickerLink m_tickerLink;
};

}  // namespace monitor
