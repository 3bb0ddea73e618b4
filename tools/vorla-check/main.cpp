// vorla-check DIR [--ticks N] [--no-news] [--timeout MS] [--idle SECONDS]: runs the monitor's
// start-up on the settings folder DIR, presses Connect, fires N ticks of the check timer, stays
// on line SECONDS longer for what push brings, and shuts down without writing the settings.
// Every request to the window is printed as one line.
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

#include "ConsoleView.h"
#include "ToolPlatform.h"
#include "app/composition/Composition.h"
#include "platform/LinuxDesktop.h"
#include "platform/Secrets.h"
#include "settings/FindInSkin.h"

namespace {

constexpr int kUsage = 64;
constexpr int kEnded = 2;

struct Options {
    std::string folder;
    int ticks = 0;
    bool news = true;
    long timeout = console::kDefaultTimeOutMs;
    // Seconds on line after the ticks, with push; none: no push connections at all.
    long idle = -1;
};

using console::ParseNumber;

bool ParseArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        long number = 0;
        if (arg == "--ticks" && i + 1 < argc) {
            if (!ParseNumber(argv[++i], 0, 100000, number)) {
                return false;
            }
            options.ticks = static_cast<int>(number);
        } else if (arg == "--timeout" && i + 1 < argc) {
            if (!ParseNumber(argv[++i], 1, console::kMaxTimeOutMs, options.timeout)) {
                return false;
            }
        } else if (arg == "--idle" && i + 1 < argc) {
            if (!ParseNumber(argv[++i], 0, 86400, options.idle)) {
                return false;
            }
        } else if (arg == "--no-news") {
            options.news = false;
        } else if (options.folder.empty() && !arg.empty() && arg[0] != '-') {
            options.folder = arg;
        } else {
            return false;
        }
    }
    if (!options.folder.empty() && options.folder.back() != '/') {
        options.folder += '/';
    }
    return !options.folder.empty();
}

void PrintAccounts(const settings::Tables& tables, vorlacheck::ConsoleView& view) {
    for (int n = 1; n <= tables.AccountCount; ++n) {
        view.Print("account",
                   std::to_string(n) + " " + std::to_string(tables.AccountTable[n - 1].LastCount));
    }
}

// Runs the window thread's queue (push reports and the checks they ask for) for that long.
void StayOnLine(platform::QueuedSynchronizer& windowThread, long seconds,
                const vorlacheck::ConsoleView& view) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!view.ExitRequested()) {
        const auto left = end - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            return;
        }
        if (windowThread.WaitForCall(std::chrono::duration_cast<std::chrono::milliseconds>(left))) {
            windowThread.ProcessMessages();
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    platform::MakeNonDumpable();
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        std::cerr
            << "usage: vorla-check DIR [--ticks N] [--no-news] [--timeout MS] [--idle SECONDS]\n"
               "  DIR       settings folder (Vorla.ini, Accounts.ini, VrFilter.ini)\n"
               "  --ticks   check timer ticks after Connect (default 0)\n"
               "  --no-news do not download the news server list and the news\n"
               "  --timeout bound of every wait for a POP3 server in ms (default 60000)\n"
               "  --idle    stay on line SECONDS after the ticks, checking what push reports\n";
        return kUsage;
    }

    vorlacheck::ConsoleView view(std::cout);
    console::ToolPlatform host;
    host.rasApi.PumpWhileWaiting(host.windowThread);
    platform::XdgShell shell;
    console::NoDownloads noDownloads;
    console::ManualTimer timer;
    app::Composition parts(host.With(shell), options.folder, options.folder);
    parts.POP.StrErrorInFormatOfMsg = "Error";
    parts.POP.RetrieveProgressStep = 10;
    parts.POP.TimeOut = static_cast<std::uint32_t>(options.timeout);
    parts.IMAP.TimeOut = parts.POP.TimeOut;
    parts.Watch.TimeOutMs = parts.POP.TimeOut;
    parts.Shared.OnErrorNotice = [&view](const std::string& text) { view.Print("error", text); };
    monitor::NoMailboxWatch noPush;
    monitor::TVorla& vorla = parts.BuildMonitor({view.Faces(), timer, nullptr, nullptr,
                                                 options.news ? nullptr : &noDownloads, &view,
                                                 options.idle < 0 ? &noPush : nullptr});
    vorla.SetSaveOnShutDown(false);

    if (!vorla.FormCreate()) {
        return kEnded;
    }
    try {
        vorla.FirstPaint();
        parts.Jobs().Cycle.ConnectClick();
        for (int i = 0; i < options.ticks && !view.ExitRequested(); ++i) {
            parts.Jobs().Cycle.TimerTimer();
        }
        if (options.idle > 0) {
            StayOnLine(host.windowThread, options.idle, view);
        }
        vorla.ShutDown();
    } catch (const settings::FatalSettingsError&) {
        // Reported already; the program ends here as the desktop program would.
        return kEnded;
    }
    PrintAccounts(parts.Shared.Tables, view);
    return 0;
}
