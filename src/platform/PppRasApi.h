#pragma once
// The dial-up service on Linux through pppd: the entries are the peer files of /etc/ppp/peers,
// a dial runs "pon NAME" and waits for the link, a hang-up runs "poff NAME", and a connection
// is a running "pppd call NAME" (its handle is the PID) whose ppp interface tells the state.
#include <sys/types.h>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/EventPump.h"
#include "platform/RasApi.h"

namespace platform {

// Runs a program with its arguments already split (no shell) and waits for it to end; the
// exit status, or -1 when it could not be started or was ended after the time-out. idle, when
// given, runs between the short polls of the wait.
int RunProgram(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
               const std::function<void()>& idle = {});

struct PppPaths {
    std::string peersDir = "/etc/ppp/peers";
    std::string runDir = "/var/run";        // pppN.pid files of pppd
    std::string netDir = "/sys/class/net";  // the interfaces and their flags
    std::string procDir = "/proc";          // the running processes
};

class PppRasApi final : public RasApi {
public:
    using ProgramRunner = std::function<int(const std::vector<std::string>& argv)>;

    // runner starts pon and poff; the default runs them with RunProgram. dialTimeout bounds
    // the wait for a link to come up, hangUpTimeout the wait for pppd to end.
    explicit PppRasApi(PppPaths paths = {}, ProgramRunner runner = {},
                       std::chrono::milliseconds dialTimeout = std::chrono::seconds(90),
                       std::chrono::milliseconds hangUpTimeout = std::chrono::seconds(10));
    PppRasApi(const PppRasApi&) = delete;
    PppRasApi& operator=(const PppRasApi&) = delete;

    std::uint32_t EnumEntries(std::vector<RasEntryName>& buffer, std::uint32_t& bufferBytes,
                              std::uint32_t& entryCount) override;
    std::uint32_t GetEntryDialParams(RasDialParams& params, bool& passwordSaved) override;
    std::uint32_t SetEntryDialParams(const RasDialParams& params, bool removePassword) override;
    std::uint32_t Dial(const RasDialParams& params, RasHandle& connection) override;
    std::uint32_t HangUp(RasHandle connection) override;
    std::uint32_t EnumConnections(std::vector<RasConn>& buffer, std::uint32_t& bufferBytes,
                                  std::uint32_t& connectionCount) override;
    std::uint32_t GetConnectStatus(RasHandle connection, RasConnStatus& status) override;
    std::uint32_t GetErrorString(std::uint32_t code, std::string& text,
                                 std::uint32_t bufferChars) override;
    std::unique_ptr<RasLibrary> LoadLibrary(const std::string& fileName) override;

    // Dialling and hanging up wait for pon, poff and pppd; from now on they process the
    // window's pending messages every few milliseconds meanwhile. The pump must outlive this.
    void PumpWhileWaiting(EventPump& pump) { m_pump = &pump; }

    std::uint32_t GetEntryProperties(const std::string& entryName, RasEntry& entry,
                                     std::uint32_t& entryInfoSize);

private:
    struct Link {
        pid_t pid = 0;
        std::string entryName;
        std::optional<int> unit;  // N of the pppN interface, once pppd has one
    };

    std::vector<std::string> EntryNames() const;
    bool HasEntry(const std::string& name) const;
    std::vector<Link> Links() const;
    std::optional<Link> FindLink(const std::string& entryName) const;
    std::optional<Link> FindLink(RasHandle connection) const;
    bool LinkUp(const Link& link) const;
    void Pump();
    // Waits for length, pumping between short slices.
    void Pause(std::chrono::milliseconds length);

    PppPaths m_paths;
    ProgramRunner m_runner;
    std::chrono::milliseconds m_dialTimeout;
    std::chrono::milliseconds m_hangUpTimeout;
    EventPump* m_pump = nullptr;
};

}  // namespace platform
