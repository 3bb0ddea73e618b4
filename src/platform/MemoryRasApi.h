#pragma once
// An in-memory dial-up service for tests: scripted entries, dial results and connections, a
// line that drops, and libraries whose exports can be removed to reach the library fallback.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/RasApi.h"

namespace platform {

class MemoryRasApi final : public RasApi {
public:
    struct Entry {
        RasDialParams dialParams;  // what GetEntryDialParams reports; entryName is the entry's name
        bool passwordSaved = false;
        RasEntry properties;
        std::uint32_t propertiesBytes = kRasEntrySize;  // buffer the properties need
        std::uint32_t dialParamsResult = kRasSuccess;   // what GetEntryDialParams returns
        std::uint32_t dialResult = kRasSuccess;
        std::uint32_t setParamsResult = kRasSuccess;
    };
    struct Connection {
        RasHandle handle = 0;
        std::string entryName;
        int state = kRasStateConnected;
        std::uint32_t error = 0;
        std::string deviceType;
        std::string deviceName;
    };

    MemoryRasApi();

    // Appends a phone-book entry and returns it for further scripting.
    Entry& AddEntry(const std::string& name);
    // Adds an active connection that this service did not dial; returns its handle.
    RasHandle AddConnection(const std::string& entryName, int state = kRasStateConnected);
    // The line of that entry drops: its connections disappear without a hang-up.
    void DropConnection(const std::string& entryName);

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

    // Scripting state, in phone-book and listing order.
    std::vector<Entry> entries;
    std::vector<Connection> connections;
    std::uint32_t enumEntriesResult = kRasSuccess;      // a failure code makes EnumEntries fail
    std::uint32_t enumConnectionsResult = kRasSuccess;  // likewise for EnumConnections
    std::uint32_t connectStatusResult = kRasSuccess;    // likewise for GetConnectStatus
    std::uint32_t hangUpResult = kRasSuccess;           // likewise for HangUp of a known handle
    std::map<std::uint32_t, std::string> errorTexts;    // texts beyond RasErrorText
    // Loadable libraries and their exports; "rasapi32.dll" exports "RasGetEntryPropertiesA".
    std::map<std::string, std::set<std::string>> libraries;

    // What the caller did, in order.
    std::vector<std::string> loadedLibraries;
    std::vector<std::string> releasedLibraries;
    std::vector<std::string> propertiesCalls;  // "library:export:entry"
    std::vector<RasDialParams> storedParams;
    std::vector<bool> storedRemovePassword;
    std::vector<RasDialParams> dialledParams;
    std::vector<RasHandle> hungUp;

private:
    class Library;
    std::uint32_t GetEntryProperties(const std::string& entryName, RasEntry& entry,
                                     std::uint32_t& entryInfoSize);
    Entry* FindEntry(const std::string& name);
    RasHandle m_nextHandle = 100;
};

}  // namespace platform
