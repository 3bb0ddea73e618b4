#include "monitor/MonitorJobs.h"

#include <utility>

#include "platform/Links.h"

namespace monitor {

MonitorJobs::MonitorJobs(Commun& shared, const MonitorParts& parts, std::string programFolder,
                         std::string settingsFolder)
    : Shared(shared),
      ProgramFolder(std::move(programFolder)),
      SettingsFolder(std::move(settingsFolder)),
      Ticker(shared.StatusText, Skin, m_tickerLink, parts.pump, parts.tickerTimers),
      Guard(parts.view.dialogs),
      Timers(shared, parts.view.window, Ticker, parts.Timer),
      Status(shared, parts.view, Skin, Ticker, [this] { Session.QuitSession(); }),
      News(shared, parts.GetNews, Ticker, Status, Timers, Guard, SettingsFolder),
      Session(shared, parts.POP, parts.pump, Status, Guard),
      Line(shared, parts.RASC, parts.view.dialogs, parts.pump, Status, Timers),
      Announcer(shared, parts.POP, Status, parts.view.sound, SettingsFolder + kSeenFile),
      Skins(shared, parts.view, SettingsFolder, Skin, {Cycle, Status}),
      Menu(shared, parts.view, parts.shell, {Skins, News, Guard}, ProgramFolder),
      Cycle(shared, parts.view,
            {Session, Line, parts.Timer, parts.pump, News, Menu.Model(), Announcer}, Ticker, Status,
            Timers, Guard),
      Accounts(shared, parts.view.window, Cycle, Timers, Guard),
      HandOver(shared, parts.view, {parts.POP, Session, parts.pump}, Cycle, Ticker, Status, Timers,
               Guard),
      MailClient(shared, parts.view.dialogs, parts.shell, parts.mailto, parts.pump, Ticker, Status,
                 Guard),
      m_tickerLink(shared, News, parts.shell, parts.view.status) {}

// A news item's link comes from a news server: only a web page is opened.
void TickerLink::OpenLink(const std::string& url) {
    if (platform::IsWebAddress(url))
        m_shell.OpenDocument(url);
}

}  // namespace monitor
