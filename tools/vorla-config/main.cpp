// vorla-config DIR: runs the program's start-up on the settings folder DIR without windows
// and without going on line, opens "Configure", and runs one user action per line of
// standard input against the dialog. The files hold exactly what the dialog wrote: the
// shut-down does not write "Vorla.ini".
#include <iostream>
#include <string>

#include "ConsoleDialog.h"
#include "OfflineParts.h"
#include "ToolPlatform.h"
#include "app/composition/Composition.h"
#include "app/composition/VorlaLink.h"
#include "platform/Secrets.h"
#include "settings/FindInSkin.h"

namespace {

constexpr int kUsage = 64;
constexpr int kEnded = 2;

}  // namespace

int main(int argc, char** argv) {
    platform::MakeNonDumpable();
    if (argc != 2 || std::string(argv[1]).empty()) {
        std::cerr << "usage: vorla-config DIR < actions\n"
                     "  DIR  settings folder (Vorla.ini, Accounts.ini, VrFilter.ini)\n"
                     "  actions, one per line: menu TAG | set CONTROL TEXT | click CONTROL |\n"
                     "  choose CONTROL INDEX | answer PATH | answer cancel | show CONTROL |\n"
                     "  answer yes | answer no | ok | close\n"
                     "  an answer goes to the next file dialog or question box, in order;\n"
                     "  a question without one is answered No (Cancel for Yes/No/Cancel)\n";
        return kUsage;
    }
    std::string folder = argv[1];
    if (folder.back() != '/') {
        folder += '/';
    }

    console::ConsoleShell shell(std::cout);
    vorlaconfig::ConsoleFileDialogs files(std::cout);
    vorlaconfig::ConsoleView view(std::cout, files);
    console::QuietParts quiet;
    console::ToolPlatform host;
    vorlaconfig::OfflinePop pop;
    console::NoDownloads downloads;
    console::ManualTimer timer;
    vorlaconfig::NoMessageWindow messageWindow;
    app::Composition parts(host.With(shell), folder, folder);
    vorlaconfig::OfflineDialUp dialUp(parts.DialUp);
    monitor::TVorla& vorla =
        parts.BuildMonitor({{quiet.status, quiet.tray, view, quiet.sound, view, view},
                            timer,
                            &pop,
                            &dialUp,
                            &downloads});
    vorla.SetSaveOnShutDown(false);
    view.Attach(parts.Jobs().Skin);
    if (!vorla.FormCreate()) {
        return kEnded;
    }
    app::VorlaSkinHost skinHost(parts.Jobs(), view);
    config::TConfig dialog(parts.Shared.Config, parts.Shared.Tables, folder,
                           {view, shell, files, skinHost, messageWindow, parts.Shared.Secrets});
    app::VorlaConfigOwner owner({vorla, parts.Jobs(), dialUp, timer, [&](config::TConfig& shown) {
                                     vorlaconfig::RunActions(shown, files, std::cin, std::cout,
                                                             std::cerr);
                                 }});
    try {
        vorla.FirstPaint();
        try {
            config::Config1Click(owner, dialog);
        } catch (const settings::FatalSettingsError&) {
            throw;
        } catch (const std::exception& e) {
            // As the program's handlers do: the fault is shown, the program goes on.
            view.ShowMessage(e.what());
        }
        vorla.ShutDown();
    } catch (const settings::FatalSettingsError&) {
        // Reported already; the program ends here as the desktop program would.
        return kEnded;
    }
    return 0;
}
