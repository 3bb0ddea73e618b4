// vorla: the desktop mail monitor.
#include <QApplication>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

#include <filesystem>
#include <iostream>
#include <system_error>

#include "app/Program.h"
#include "monitor/SettingsFolder.h"
#include "platform/DisplaySession.h"
#include "platform/LinuxDesktop.h"
#include "platform/PppRasApi.h"
#include "platform/ProgramFolder.h"
#include "platform/Secrets.h"
#include "settings/AtomicFile.h"
#include "ui/main/QtPlatform.h"

namespace {

int g_signalPipe[2] = {-1, -1};

void OnEndSignal(int) {
    const char byte = 1;
    // Nothing to do about a full pipe: one pending byte is enough to end the program.
    [[maybe_unused]] const ssize_t written = write(g_signalPipe[1], &byte, 1);
}

// The desktop ends a session without a session manager by SIGTERM (or SIGHUP when the
// terminal goes): that is the end of the session, with its ShutDown.
void HandleEndSignals(app::Program& program) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [&program, notifier] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = read(g_signalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        program.EndSession();
        QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    platform::MakeNonDumpable();
    const platform::DisplayChoice display =
        platform::ChooseDisplay(platform::DisplayEnvironment::FromEnvironment());
    if (!display.error.empty()) {
        std::cerr << "vorla: " << display.error << std::endl;
        return 1;
    }
    if (!display.qtPlatform.empty()) {
        setenv("QT_QPA_PLATFORM", display.qtPlatform.c_str(), 1);
    }
    // A repaint through an X shared-memory image waits for the server's answer before the
    // next paint: two more thread wake-ups for each ticker step, whose pictures are a few
    // kilobytes. The images go through the connection instead (unless the user chose).
    setenv("QT_XCB_NO_MITSHM", "1", 0);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorla"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vorla"));
    // The windows are tool windows; the program ends through Exit or the session's end.
    QApplication::setQuitOnLastWindowClosed(false);

    uimain::QtDialogs dialogs;
    const std::string folder = platform::ProgramFolder();
    const std::string settingsFolder =
        monitor::ChooseSettingsFolder(folder, monitor::SettingsPlaces::FromEnvironment());
    try {
        monitor::PrepareSettingsFolder(settingsFolder, folder);
    } catch (const settings::SettingsWriteError& e) {
        dialogs.ShowMessage(e.what());
        return 1;
    }
    // Relative paths of the settings ("skins/default/") are relative to the program folder.
    std::error_code ec;
    std::filesystem::current_path(folder, ec);

    platform::CanberraSound sound;
    platform::XdgShell shell;
    platform::XdgAutorun autorun;
    platform::XdgMailtoHandler mailto;
    uimain::QtEventPump pump;
    platform::PppRasApi dialUp;
    dialUp.PumpWhileWaiting(pump);
    app::Program program({sound, shell, autorun, mailto, dialogs, dialUp}, folder, settingsFolder);
    if (!program.Start()) {
        return 1;
    }
    HandleEndSignals(program);
    program.Show();
    return QApplication::exec();
}
