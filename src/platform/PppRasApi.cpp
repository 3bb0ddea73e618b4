#include "platform/PppRasApi.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <thread>

#include "platform/FileRead.h"
#include "platform/PppPeer.h"
#include "platform/SpawnActions.h"

extern char** environ;

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr auto kPollSlice = std::chrono::milliseconds(20);
constexpr auto kLinkPoll = std::chrono::milliseconds(250);
constexpr auto kProgramTimeout = std::chrono::seconds(30);
constexpr unsigned kInterfaceUp = 0x1;
const std::string kRasApiLibrary = "rasapi32.dll";
const std::string kEntryPropertiesExport = "RasGetEntryPropertiesA";

std::string ReadFile(const std::string& path) {
    return TryReadFile(path).value_or(std::string());
}

// pon takes a leading "-" for an option and passes the name through a shell variable
// unquoted, so such names cannot be dialled and are not offered.
bool DialableName(const std::string& name) {
    if (name.empty() || name.front() == '.' || name.front() == '-' || name.back() == '~')
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return std::isspace(static_cast<unsigned char>(c)) ||
               std::iscntrl(static_cast<unsigned char>(c));
    });
}

std::optional<pid_t> ParsePid(const std::string& text) {
    std::istringstream in(text);
    long pid = 0;
    if (!(in >> pid) || pid <= 0)
        return std::nullopt;
    return static_cast<pid_t>(pid);
}

// The entry of a "pppd ... call NAME ..." command line; empty for any other process.
std::string CalledEntry(const std::string& cmdline) {
    std::vector<std::string> args;
    std::string arg;
    for (char c : cmdline) {
        if (c == '\0') {
            args.push_back(arg);
            arg.clear();
        } else {
            arg += c;
        }
    }
    if (!arg.empty())
        args.push_back(arg);
    if (args.empty() || fs::path(args[0]).filename() != "pppd")
        return {};
    for (std::size_t i = 1; i + 1 < args.size(); ++i)
        if (args[i] == "call")
            return args[i + 1];
    return {};
}

class PppLibrary final : public RasLibrary {
public:
    explicit PppLibrary(PppRasApi& api) : m_api(api) {}
    RasGetEntryPropertiesFunction FindEntryProperties(const std::string& exportName) override {
        if (exportName != kEntryPropertiesExport)
            return {};
        return [this](const std::string& entryName, RasEntry& entry, std::uint32_t& entryInfoSize) {
            return m_api.GetEntryProperties(entryName, entry, entryInfoSize);
        };
    }

private:
    PppRasApi& m_api;
};

}  // namespace

int RunProgram(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
               const std::function<void()>& idle) {
    if (argv.empty())
        return -1;
    std::vector<std::string> args = argv;
    std::vector<char*> argvC;
    for (auto& a : args)
        argvC.push_back(a.data());
    argvC.push_back(nullptr);
    pid_t pid = 0;
    SpawnActions actions;
    if (posix_spawnp(&pid, argvC[0], actions.ClosingTheRest(), nullptr, argvC.data(), environ) != 0)
        return -1;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            break;
        if (ended < 0)
            return -1;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        if (idle)
            idle();
        std::this_thread::sleep_for(kPollSlice);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

PppRasApi::PppRasApi(PppPaths paths, ProgramRunner runner, std::chrono::milliseconds dialTimeout,
                     std::chrono::milliseconds hangUpTimeout)
    : m_paths(std::move(paths)),
      m_runner(std::move(runner)),
      m_dialTimeout(dialTimeout),
      m_hangUpTimeout(hangUpTimeout) {
    if (!m_runner)
        m_runner = [this](const std::vector<std::string>& argv) {
            return RunProgram(argv, kProgramTimeout, [this] { Pump(); });
        };
}

void PppRasApi::Pump() {
    if (m_pump)
        m_pump->ProcessMessages();
}

void PppRasApi::Pause(std::chrono::milliseconds length) {
    const auto end = std::chrono::steady_clock::now() + length;
    for (;;) {
        Pump();
        const auto now = std::chrono::steady_clock::now();
        if (now >= end)
            return;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kPollSlice, end - now));
    }
}

std::vector<std::string> PppRasApi::EntryNames() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& file : fs::directory_iterator(m_paths.peersDir, error)) {
        const std::string name = file.path().filename().string();
        std::error_code typeError;
        if (file.is_regular_file(typeError) && DialableName(name))
            names.push_back(name);
    }
    // Directory order is arbitrary; the list is shown to the user and indexed by the settings.
    std::sort(names.begin(), names.end());
    return names;
}

bool PppRasApi::HasEntry(const std::string& name) const {
    const auto names = EntryNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::uint32_t PppRasApi::EnumEntries(std::vector<RasEntryName>& buffer, std::uint32_t& bufferBytes,
                                     std::uint32_t& entryCount) {
    std::vector<RasEntryName> names;
    for (const auto& name : EntryNames())
        names.push_back({0, name});
    return FillRasList(names, kRasEntryNameSize, buffer, bufferBytes, entryCount);
}

std::uint32_t PppRasApi::GetEntryDialParams(RasDialParams& params, bool& passwordSaved) {
    if (params.size != kRasDialParamsSize)
        return kRasErrorInvalidSize;
    if (!HasEntry(params.entryName))
        return kRasErrorCannotFindPhonebookEntry;
    const PppPeer peer = ReadPppPeer(m_paths.peersDir + "/" + params.entryName);
    params.userName = peer.userName;
    params.phoneNumber = peer.phoneNumber;
    // pppd keeps passwords in its own secrets files, which this program neither reads nor writes.
    passwordSaved = false;
    return kRasSuccess;
}

std::uint32_t PppRasApi::SetEntryDialParams(const RasDialParams& params, bool) {
    if (params.size != kRasDialParamsSize)
        return kRasErrorInvalidSize;
    // Nothing to store: pppd dials with the options and secrets of its own files.
    return HasEntry(params.entryName) ? kRasSuccess : kRasErrorCannotFindPhonebookEntry;
}

std::uint32_t PppRasApi::GetEntryProperties(const std::string& entryName, RasEntry& entry,
                                            std::uint32_t& entryInfoSize) {
    if (entry.size != kRasEntrySize)
        return kRasErrorInvalidSize;
    if (entryInfoSize < kRasEntrySize) {
        entryInfoSize = kRasEntrySize;
        return kRasErrorBufferTooSmall;
    }
    if (!HasEntry(entryName))
        return kRasErrorCannotFindPhonebookEntry;
    const PppPeer peer = ReadPppPeer(m_paths.peersDir + "/" + entryName);
    entry.localPhoneNumber = peer.phoneNumber;
    entry.deviceType = peer.deviceType;
    entry.deviceName = peer.deviceName;
    return kRasSuccess;
}

std::vector<PppRasApi::Link> PppRasApi::Links() const {
    std::vector<Link> links;
    std::error_code error;
    for (const auto& process : fs::directory_iterator(m_paths.procDir, error)) {
        const auto pid = ParsePid(process.path().filename().string());
        if (!pid || std::to_string(*pid) != process.path().filename().string())
            continue;
        const std::string entry = CalledEntry(ReadFile(process.path().string() + "/cmdline"));
        if (!entry.empty())
            links.push_back({*pid, entry, std::nullopt});
    }
    for (const auto& file : fs::directory_iterator(m_paths.runDir, error)) {
        const std::string name = file.path().filename().string();
        int unit = 0;
        if (std::sscanf(name.c_str(), "ppp%d.pid", &unit) != 1 ||
            name != "ppp" + std::to_string(unit) + ".pid")
            continue;
        const auto pid = ParsePid(ReadFile(file.path().string()));
        for (Link& link : links)
            if (pid && link.pid == *pid)
                link.unit = unit;
    }
    std::sort(links.begin(), links.end(),
              [](const Link& a, const Link& b) { return a.pid < b.pid; });
    return links;
}

std::optional<PppRasApi::Link> PppRasApi::FindLink(const std::string& entryName) const {
    for (const Link& link : Links())
        if (link.entryName == entryName)
            return link;
    return std::nullopt;
}

std::optional<PppRasApi::Link> PppRasApi::FindLink(RasHandle connection) const {
    for (const Link& link : Links())
        if (static_cast<RasHandle>(link.pid) == connection)
            return link;
    return std::nullopt;
}

bool PppRasApi::LinkUp(const Link& link) const {
    if (!link.unit)
        return false;
    const std::string flags =
        ReadFile(m_paths.netDir + "/ppp" + std::to_string(*link.unit) + "/flags");
    try {
        return (std::stoul(flags, nullptr, 16) & kInterfaceUp) != 0;
    } catch (const std::exception&) {
        return false;  // no interface (yet): the link is not up
    }
}

std::uint32_t PppRasApi::Dial(const RasDialParams& params, RasHandle& connection) {
    connection = 0;
    if (params.size != kRasDialParamsSize)
        return kRasErrorInvalidSize;
    if (!HasEntry(params.entryName))
        return kRasErrorCannotFindPhonebookEntry;
    if (const auto running = FindLink(params.entryName)) {
        connection = static_cast<RasHandle>(running->pid);
        return kRasErrorPortAlreadyOpen;
    }
    if (m_runner({"pon", params.entryName}) != 0)
        return kRasErrorFromDevice;

    const auto deadline = std::chrono::steady_clock::now() + m_dialTimeout;
    for (;;) {
        const auto link = FindLink(params.entryName);
        if (!link)
            return kRasErrorFromDevice;  // pppd gave up
        connection = static_cast<RasHandle>(link->pid);
        if (LinkUp(*link))
            return kRasSuccess;
        if (std::chrono::steady_clock::now() >= deadline)
            return kRasErrorNoAnswer;
        Pause(kLinkPoll);
    }
}

std::uint32_t PppRasApi::HangUp(RasHandle connection) {
    const auto link = connection == 0 ? std::nullopt : FindLink(connection);
    if (!link)
        return kRasErrorInvalidHandle;
    if (m_runner({"poff", link->entryName}) != 0)
        return kRasErrorFromDevice;
    // pppd ends after poff has signalled it; a dial right after must not find it still there.
    const auto deadline = std::chrono::steady_clock::now() + m_hangUpTimeout;
    while (FindLink(connection)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return kRasErrorFromDevice;
        Pause(kLinkPoll);
    }
    return kRasSuccess;
}

std::uint32_t PppRasApi::EnumConnections(std::vector<RasConn>& buffer, std::uint32_t& bufferBytes,
                                         std::uint32_t& connectionCount) {
    std::vector<RasConn> list;
    for (const Link& link : Links()) {
        RasConn conn;
        conn.handle = static_cast<RasHandle>(link.pid);
        conn.entryName = link.entryName;
        conn.deviceType = "ppp";
        conn.deviceName = link.unit ? "ppp" + std::to_string(*link.unit) : std::string();
        list.push_back(conn);
    }
    return FillRasList(list, kRasConnSize, buffer, bufferBytes, connectionCount);
}

std::uint32_t PppRasApi::GetConnectStatus(RasHandle connection, RasConnStatus& status) {
    if (status.size != kRasConnStatusSize)
        return kRasErrorInvalidSize;
    const auto link = FindLink(connection);
    if (!link)
        return kRasErrorInvalidHandle;
    status.state = LinkUp(*link) ? kRasStateConnected : kRasStateOpenPort;
    status.error = 0;
    status.deviceType = "ppp";
    status.deviceName = link->unit ? "ppp" + std::to_string(*link->unit) : std::string();
    return kRasSuccess;
}

std::uint32_t PppRasApi::GetErrorString(std::uint32_t code, std::string& text,
                                        std::uint32_t bufferChars) {
    return CopyRasErrorString(RasErrorText(code), text, bufferChars);
}

std::unique_ptr<RasLibrary> PppRasApi::LoadLibrary(const std::string& fileName) {
    if (fileName != kRasApiLibrary)
        return nullptr;
    return std::make_unique<PppLibrary>(*this);
}

}  // namespace platform
