#pragma once
// The program put together without a toolkit: the components the windows work with (TQelPOP
// over the plain or TLS transports, TQelSMTP for replies, TRASControl, THTTPGet), the shared
// state Commun, and the main window's logic on them. The desktop program gives it its Qt
// faces; the command-line tools give their console ones.
#include <memory>
#include <string>

#include "app/composition/ComponentAdapters.h"
#include "app/composition/ImapMailboxWatch.h"
#include "app/composition/MailboxClient.h"
#include "app/composition/QelImapClient.h"
#include "app/composition/QelSmtpClient.h"
#include "mail/PosixTransport.h"
#include "mail/QelIMAP.h"
#include "mail/QelPOP3.h"
#include "mail/QelSMTP.h"
#include "monitor/Commun.h"
#include "monitor/TVorla.h"
#include "net/HTTPGet.h"
#include "net/RASControl.h"
#include "platform/Desktop.h"
#include "platform/EventPump.h"
#include "platform/LibsecretStore.h"
#include "platform/RasApi.h"
#include "platform/WindowTimer.h"

namespace app {

// The platform services of the face that runs the program; they must outlive it.
struct Platform {
    platform::EventPump& pump;
    // THTTPGet's worker hands its events over to the window thread through it.
    platform::Synchronizer& sync;
    platform::TimerHost& tickerTimers;
    platform::RasApi& rasApi;
    platform::Shell& shell;
    platform::Autorun& autorun;
    platform::MailtoHandler& mailto;
};

// The main window's face. A run that must not reach a server replaces a component; null
// takes the composition's own.
struct MonitorFace {
    monitor::MonitorFaces view;
    monitor::TimerSwitch& checkTimer;
    monitor::PopClient* pop = nullptr;
    monitor::DialUp* dialUp = nullptr;
    monitor::HttpDownloader* news = nullptr;
    // Shows the new-mail notifications; null shows none. Its actions reach the monitor.
    monitor::Notifier* notifier = nullptr;
    // Push while on line; null takes the composition's IDLE watch.
    monitor::MailboxWatch* watch = nullptr;
};

// Sender and subject of a fetched header, decoded as the message window shows them.
monitor::MailHeadline DisplayHeadline(const mail::TQelMsg& message);

class Composition {
public:
    // The skins and help page come from programFolder, the settings go to settingsFolder;
    // both end in "/".
    Composition(Platform platform, std::string programFolder, std::string settingsFolder);
    Composition(const Composition&) = delete;
    Composition& operator=(const Composition&) = delete;

    // Builds the main window's jobs and its logic on its face, once; the face must outlive
    // them.
    monitor::TVorla& BuildMonitor(MonitorFace face);
    // Built by BuildMonitor.
    monitor::TVorla& Vorla() { return *m_vorla; }
    monitor::MonitorJobs& Jobs() { return *m_jobs; }

    const Platform Services;
    monitor::Commun Shared;
    mail::PosixTransportFactory Transports;
    mail::TQelPOP POP;
    // The message window's client for replies.
    mail::TQelSMTP QMail;
    app::QelSmtpClient SmtpClient;
    // The IMAP accounts' client, and the one client of the check and the message window that
    // serves each account by its protocol.
    mail::TQelIMAP IMAP;
    app::QelPopClient Pop3Client;
    app::QelImapClient ImapClient;
    app::MailboxClient PopClient;
    net::TRASControl RASC;
    app::RasDialUp DialUp;
    net::THTTPGet GetNews;
    app::HttpGetDownloader News;
    // The desktop keyring, for the accounts whose passwords are kept there (Shared.Secrets).
    platform::LibsecretStore Keyring;
    // Push for the IMAP accounts whose servers offer IDLE.
    app::ImapMailboxWatch Watch;

private:
    void WireAnnouncer(monitor::Notifier* notifier);

    std::string m_programFolder;
    std::string m_settingsFolder;
    std::unique_ptr<monitor::MonitorJobs> m_jobs;
    std::unique_ptr<monitor::TVorla> m_vorla;
};

}  // namespace app
