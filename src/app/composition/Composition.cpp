#include "app/composition/Composition.h"

#include <stdexcept>

#include "msgwindow/MessageText.h"

namespace app {

Composition::Composition(Platform platform, std::string programFolder, std::string settingsFolder)
    : Services(platform),
      POP(Transports, platform.pump),
      QMail(Transports, platform.pump),
      PopClient(POP),
      RASC(platform.rasApi),
      DialUp(RASC),
      GetNews(platform.sync, platform.pump),
      News(GetNews),
      m_programFolder(std::move(programFolder)),
      m_settingsFolder(std::move(settingsFolder)) {}

monitor::TVorla& Composition::BuildMonitor(MonitorFace face) {
    if (m_vorla) {
        throw std::logic_error("the main window's logic is built once");
    }
    m_vorla = std::make_unique<monitor::TVorla>(
        Shared,
        monitor::MonitorParts{face.view, face.pop ? *face.pop : PopClient,
                              face.dialUp ? *face.dialUp : DialUp, face.news ? *face.news : News,
                              face.checkTimer, Services.tickerTimers, Services.pump, Services.shell,
                              Services.autorun, Services.mailto},
        m_programFolder, m_settingsFolder);
    WireAnnouncer(face.notifier);
    return *m_vorla;
}

monitor::MailHeadline DisplayHeadline(const mail::TQelMsg& message) {
    const msgwindow::HeaderText text = msgwindow::HeaderForDisplay(message);
    return monitor::MailHeadline{text.FromName, text.From, text.Subject};
}

void Composition::WireAnnouncer(monitor::Notifier* notifier) {
    monitor::MailAnnouncer& announcer = m_vorla->Announcer();
    announcer.SetHeadlineReader(DisplayHeadline);
    announcer.SetNotifier(notifier);
    if (notifier != nullptr) {
        monitor::TVorla& vorla = *m_vorla;
        notifier->OnOpenMessage = [&vorla](int account, int message) {
            vorla.OpenNewMail(account, message);
        };
        notifier->OnOpenMailProgram = [&vorla] { vorla.MailClient().MAILClick(); };
    }
}

}  // namespace app
