// vorla-msgwindow DIR [--timeout MS] [STEP...]: runs the monitor's start-up on the settings
// folder DIR without windows, presses Connect, double-clicks the mail flag (mail mode when mail
// waits, notepad mode otherwise), runs the steps in the message window, closes it and shuts
// down without writing the settings. No news is downloaded.
#include <iostream>
#include <string>
#include <vector>

#include "Console.h"
#include "ToolPlatform.h"
#include "WindowHost.h"
#include "app/composition/Composition.h"
#include "platform/Secrets.h"
#include "settings/FindInSkin.h"

namespace {

constexpr int kUsage = 64;
constexpr int kEnded = 2;

int Usage() {
    std::cerr << "usage: vorla-msgwindow DIR [--timeout MS] [STEP...]\n"
                 "  DIR   settings folder (Vorla.ini, Accounts.ini, VrFilter.ini)\n"
                 "  --timeout bound of every wait for a POP3 server in ms (default 60000)\n"
                 "  STEP  next | prev | delete | read | readall | menu | close | save |\n"
                 "        saveatt:FOLDER | saveas:FILE | open:FILE |\n"
                 "        reply | identity:N | to:TEXT | subj:TEXT | body:TEXT | send | cancel |\n"
                 "        answer:yes | answer:no\n"
                 "        (in body:TEXT the two characters \\n stand for a line break; an answer\n"
                 "        is given to the next question box, which is answered No without one)\n"
                 "Steps after close find no window: their blocks show the state unchanged.\n";
    return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    platform::MakeNonDumpable();
    if (argc < 2 || argv[1][0] == '-' || argv[1][0] == '\0')
        return Usage();
    std::string folder = argv[1];
    if (folder.back() != '/')
        folder += '/';
    long timeout = console::kDefaultTimeOutMs;
    int first = 2;
    if (argc > 3 && std::string(argv[2]) == "--timeout") {
        if (!console::ParseNumber(argv[3], 1, console::kMaxTimeOutMs, timeout))
            return Usage();
        first = 4;
    }
    std::vector<std::string> steps(argv + first, argv + argc);
    for (const std::string& step : steps) {
        if (!vorlamsgwindow::WindowHost::IsStep(step)) {
            std::cerr << "vorla-msgwindow: unknown step \"" << step << "\"\n";
            return Usage();
        }
    }

    vorlamsgwindow::ConsoleMainView view;
    console::ConsoleBoxes boxes(std::cout);
    console::QuietParts quiet;
    vorlamsgwindow::ConsoleDialogs dialogs(std::cout);
    console::ConsoleShell shell(std::cout);
    console::ToolPlatform host;
    console::NoDownloads noDownloads;
    console::ManualTimer timer;
    app::Composition parts(host.With(shell), folder, folder);
    parts.POP.StrErrorInFormatOfMsg = "Error";
    parts.POP.RetrieveProgressStep = 10;
    parts.POP.TimeOut = static_cast<std::uint32_t>(timeout);
    parts.IMAP.TimeOut = parts.POP.TimeOut;
    monitor::TVorla& vorla =
        parts.BuildMonitor({{view, quiet.tray, quiet.window, quiet.sound, boxes, boxes},
                            timer,
                            nullptr,
                            nullptr,
                            &noDownloads});
    vorla.SetSaveOnShutDown(false);
    vorlamsgwindow::WindowHost window(std::cout, view, dialogs, parts.Jobs(), vorla,
                                      parts.PopClient, parts.SmtpClient, host.windowThread, shell);
    parts.Jobs().HandOver.SetMessageWindow(window);
    window.SetSteps(std::move(steps));

    if (!vorla.FormCreate())
        return kEnded;
    try {
        vorla.FirstPaint();
        parts.Jobs().Cycle.ConnectClick();
        skin::ShiftState doubleClick;
        doubleClick.Left = true;
        doubleClick.Double = true;
        parts.Jobs().HandOver.FLAGMouseDown(doubleClick);
        window.Finish();
        vorla.ShutDown();
    } catch (const settings::FatalSettingsError&) {
        // Reported already; the program ends here as the desktop program would.
        return kEnded;
    }
    return boxes.ExitRequested() ? kEnded : 0;
}
