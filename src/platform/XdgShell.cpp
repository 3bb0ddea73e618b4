#include "platform/DesktopEntry.h"
#include "platform/FileRead.h"
#include "platform/LinuxDesktop.h"
#include "platform/ReplacementFile.h"
#include "platform/SpawnActions.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

extern char** environ;

namespace platform {

namespace {

// Starts argv detached: a short-lived middle child is reaped at once, so no zombie stays.
bool SpawnDetached(const std::vector<std::string>& argv) {
    if (argv.empty() || argv.front().empty()) {
        return false;
    }
    std::vector<char*> raw;
    raw.reserve(argv.size() + 1);
    for (const std::string& a : argv) {
        raw.push_back(const_cast<char*>(a.c_str()));
    }
    raw.push_back(nullptr);

    int status[2];
    if (pipe2(status, O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t middle = fork();
    if (middle < 0) {
        close(status[0]);
        close(status[1]);
        return false;
    }
    if (middle == 0) {
        setsid();
        pid_t child = 0;
        SpawnActions actions;
        const int rc =
            posix_spawnp(&child, raw[0], actions.ClosingTheRest(), nullptr, raw.data(), environ);
        const char ok = rc == 0 ? 1 : 0;
        (void)!write(status[1], &ok, 1);
        _exit(0);
    }
    close(status[1]);
    char ok = 0;
    const bool reported = read(status[0], &ok, 1) == 1;
    close(status[0]);
    waitpid(middle, nullptr, 0);
    return reported && ok == 1;
}

}  // namespace

bool XdgShell::OpenDocument(const std::string& target) {
    return SpawnDetached({"xdg-open", target});
}

bool XdgShell::StartProgram(const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    return SpawnDetached(argv);
}

std::string XdgAutorun::EntryPath() {
    std::string base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0') {
        base = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr) {
        base = std::string(home) + "/.config";
    } else {
        base = ".config";
    }
    return base + "/autostart/Vorla.desktop";
}

// Autorun failures are ignored by design: the program neither checks nor repairs the entry.
void XdgAutorun::Enable(const std::string& programPath) {
    const std::filesystem::path entry = EntryPath();
    std::error_code ec;
    std::filesystem::create_directories(entry.parent_path(), ec);
    const std::string text =
        "[Desktop Entry]\nType=Application\nName=Vorla\nComment=Mail monitor\nIcon=vorla\nExec=" +
        QuoteExecArgument(programPath) + "\nX-GNOME-Autostart-enabled=true\n";
    try {
        WriteFileAtomically(entry.string(), text, 0666);
    } catch (const StreamError&) {
        // Ignored, as said above.
    }
}

void XdgAutorun::Disable() {
    std::error_code ec;
    std::filesystem::remove(EntryPath(), ec);
}

std::string XdgMailtoHandler::ExecLine(const std::string& desktopFileText) {
    std::istringstream in(desktopFileText);
    std::string line;
    bool inEntry = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line.front() == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        // Blanks around "=" are allowed; "Exec" must be the whole key.
        const auto equals = line.find('=');
        if (!inEntry || equals == std::string::npos) {
            continue;
        }
        std::string key = line.substr(0, equals);
        while (!key.empty() && key.back() == ' ') {
            key.pop_back();
        }
        if (key != "Exec") {
            continue;
        }
        const auto value = line.find_first_not_of(' ', equals + 1);
        return value == std::string::npos ? std::string() : line.substr(value);
    }
    return {};
}

namespace {

// What the program writes on its standard output, without the line breaks and blanks at the
// end; empty when it cannot be started. Its error output is dropped.
std::string ProgramOutput(std::vector<std::string> argv) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        return {};
    }
    SpawnActions actions;
    actions.Dup2(out[1], STDOUT_FILENO);
    actions.Open(STDERR_FILENO, "/dev/null", O_WRONLY);
    std::vector<char*> raw;
    for (std::string& arg : argv) {
        raw.push_back(arg.data());
    }
    raw.push_back(nullptr);
    pid_t pid = 0;
    const int rc =
        posix_spawnp(&pid, raw[0], actions.ClosingTheRest(), nullptr, raw.data(), environ);
    close(out[1]);
    std::string text;
    if (rc == 0) {
        char buffer[512];
        ssize_t got = 0;
        while ((got = read(out[0], buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
        waitpid(pid, nullptr, 0);
    }
    close(out[0]);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

std::string DownloadFolder() {
    const std::string named = ProgramOutput({"xdg-user-dir", "DOWNLOAD"});
    std::error_code ec;
    if (!named.empty() && named.front() == '/' && std::filesystem::is_directory(named, ec)) {
        return named.back() == '/' ? named : named + "/";
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && *home != '\0' ? std::string(home) + "/" : "/";
}

std::string XdgMailtoHandler::Command() {
    const std::string desktopFile =
        ProgramOutput({"xdg-mime", "query", "default", "x-scheme-handler/mailto"});
    if (desktopFile.empty() || desktopFile.find('/') != std::string::npos) {
        return {};
    }

    std::vector<std::string> dataDirs;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (dataHome != nullptr && *dataHome != '\0') {
        dataDirs.emplace_back(dataHome);
    } else if (home != nullptr) {
        dataDirs.push_back(std::string(home) + "/.local/share");
    }
    const char* systemDirs = std::getenv("XDG_DATA_DIRS");
    std::stringstream dirs(
        systemDirs != nullptr && *systemDirs != '\0' ? systemDirs : "/usr/local/share:/usr/share");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        dataDirs.push_back(dir);
    }
    for (const std::string& dir : dataDirs) {
        if (const auto text = TryReadFile(dir + "/applications/" + desktopFile)) {
            return ExecLine(*text);
        }
    }
    return {};
}

}  // namespace platform
