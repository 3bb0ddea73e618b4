#include "app/composition/Composition.h"

#include <stdexcept>

#include "msgwindow/MessageText.h"

namespace app {

Composition::Composition(Platform platform, std::string programFolder, std::string settingsFolder)
    : Services(platform),
      POP(Transports, platform.pump),
      QMail(Transports, platform.pump),
      SmtpClient(QMail),
      IMAP(Transports, platform.pump),
      Pop3Client(POP),
      ImapClient(IMAP),
      PopClient(Pop3Client, ImapClient),
      RASC(platform.rasApi),
      DialUp(RASC),
      GetNews(platform.sync, platform.pump),
      News(GetNews),
      Keyring(platform.pump),
      Watch(platform.sync, platform.pump),
      m_programFolder(std::move(programFolder)),
      m_settingsFolder(std::move(settingsFolder)) {
    Shared.Secrets = &Keyring;
}

monitor::TVorla& Composition::BuildMonitor(MonitorFace face) {
    if (m_vorla) {
        throw std::logic_error("the main window's logic is built once");
    }
    const monitor::MonitorParts parts{face.view,
                                      face.pop ? *face.pop : PopClient,
                                      face.dialUp ? *face.dialUp : DialUp,
                                      face.news ? *face.news : News,
                                      face.checkTimer,
                                      Services.tickerTimers,
                                      Services.pump,
                                      Services.shell,
                                      Services.autorun,
                                      Services.mailto};
    m_jobs =
        std::make_unique<monitor::MonitorJobs>(Shared, parts, m_programFolder, m_settingsFolder);
    m_vorla = std::make_unique<monitor::TVorla>(*m_jobs, parts);
    WireAnnouncer(face.notifier);
    m_jobs->Cycle.SetMailboxWatch(face.watch != nullptr ? face.watch : &Watch);
    return *m_vorla;
}

monitor::MailHeadline DisplayHeadline(const mail::TQelMsg& message) {
    const msgwindow::HeaderText text = msgwindow::HeaderForDisplay(message);
    return monitor::MailHeadline{text.FromName, text.From, text.Subject};
}

void Composition::WireAnnouncer(monitor::Notifier* notifier) {
    monitor::MailAnnouncer& announcer = m_jobs->Announcer;
    announcer.SetHeadlineReader(DisplayHeadline);
    announcer.SetNotifier(notifier);
    if (notifier != nullptr) {
        monitor::MonitorJobs& jobs = *m_jobs;
        notifier->OnOpenMessage = [&jobs](int account, int message) {
            jobs.HandOver.OpenNewMail(account, message);
        };
        notifier->OnOpenMailProgram = [&jobs] { jobs.MailClient.MAILClick(); };
    }
}

}  // namespace app
