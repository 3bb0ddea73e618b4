#include "platform/MemoryRasApi.h"

#include <algorithm>

namespace platform {

class MemoryRasApi::Library final : public RasLibrary {
public:
    Library(MemoryRasApi& api, std::string name) : m_api(api), m_name(std::move(name)) {}
    ~Library() override { m_api.releasedLibraries.push_back(m_name); }

    RasGetEntryPropertiesFunction FindEntryProperties(const std::string& exportName) override {
        const auto library = m_api.libraries.find(m_name);
        if (library == m_api.libraries.end() || !library->second.contains(exportName))
            return {};
        return [this, exportName](const std::string& entryName, RasEntry& entry,
                                  std::uint32_t& entryInfoSize) {
            m_api.propertiesCalls.push_back(m_name + ":" + exportName + ":" + entryName);
            return m_api.GetEntryProperties(entryName, entry, entryInfoSize);
        };
    }

private:
    MemoryRasApi& m_api;
    std::string m_name;
};

MemoryRasApi::MemoryRasApi() {
    libraries["rasapi32.dll"] = {"RasGetEntryPropertiesA"};
}

MemoryRasApi::Entry& MemoryRasApi::AddEntry(const std::string& name) {
    Entry& entry = entries.emplace_back();
    entry.dialParams.entryName = name;
    return entry;
}

RasHandle MemoryRasApi::AddConnection(const std::string& entryName, int state) {
    Connection connection;
    connection.handle = m_nextHandle++;
    connection.entryName = entryName;
    connection.state = state;
    if (const Entry* entry = FindEntry(entryName)) {
        connection.deviceType = entry->properties.deviceType;
        connection.deviceName = entry->properties.deviceName;
    }
    connections.push_back(connection);
    return connection.handle;
}

void MemoryRasApi::DropConnection(const std::string& entryName) {
    std::erase_if(connections, [&](const Connection& c) { return c.entryName == entryName; });
}

MemoryRasApi::Entry* MemoryRasApi::FindEntry(const std::string& name) {
    auto found = std::find_if(entries.begin(), entries.end(),
                              [&](const Entry& e) { return e.dialParams.entryName == name; });
    return found == entries.end() ? nullptr : &*found;
}

std::uint32_t MemoryRasApi::EnumEntries(std::vector<RasEntryName>& buffer,
                                        std::uint32_t& bufferBytes, std::uint32_t& entryCount) {
    if (enumEntriesResult != kRasSuccess)
        return enumEntriesResult;
    std::vector<RasEntryName> names;
    for (const Entry& entry : entries)
        names.push_back({0, entry.dialParams.entryName});
    return FillRasList(names, kRasEntryNameSize, buffer, bufferBytes, entryCount);
}

std::uint32_t MemoryRasApi::GetEntryDialParams(RasDialParams& params, bool& passwordSaved) {
    if (params.size != kRasDialParamsSize)
        return kRasErrorInvalidSize;
    const Entry* entry = FindEntry(params.entryName);
    if (!entry)
        return kRasErrorCannotFindPhonebookEntry;
    if (entry->dialParamsResult != kRasSuccess)
        return entry->dialParamsResult;
    params = entry->dialParams;
    params.size = kRasDialParamsSize;
    passwordSaved = entry->passwordSaved;
    return kRasSuccess;
}

std::uint32_t MemoryRasApi::SetEntryDialParams(const RasDialParams& params, bool removePassword) {
    storedParams.push_back(params);
    storedRemovePassword.push_back(removePassword);
    if (params.size != kRasDialParamsSize)
        return kRasErrorInvalidSize;
    Entry* entry = FindEntry(params.entryName);
    if (!entry)
        return kRasErrorCannotFindPhonebookEntry;
    if (entry->setParamsResult != kRasSuccess)
        return entry->setParamsResult;
    entry->dialParams = params;
    if (removePassword)
        entry->dialParams.password.clear();
    return kRasSuccess;
}

std::uint32_t MemoryRasApi::Dial(const RasDialParams& params, RasHandle& connection) {
    dialledParams.push_back(params);
    connection = 0;
    if (params.size != kRasDialParamsSize)
        return kRasErrorInvalidSize;
    const Entry* entry = FindEntry(params.entryName);
    if (!entry)
        return kRasErrorCannotFindPhonebookEntry;
    const std::uint32_t result = entry->dialResult;
    const bool up = result == kRasSuccess || result == kRasErrorPortAlreadyOpen;
    // A failed dial still leaves a connection handle behind, as the real service does.
    connection = AddConnection(params.entryName, up ? kRasStateConnected : kRasStateDisconnected);
    connections.back().error = up ? 0 : result;
    return result;
}

std::uint32_t MemoryRasApi::HangUp(RasHandle connection) {
    hungUp.push_back(connection);
    if (hangUpResult != kRasSuccess && connection != 0)
        return hangUpResult;
    const auto before = connections.size();
    std::erase_if(connections,
                  [&](const Connection& c) { return connection != 0 && c.handle == connection; });
    return connections.size() < before ? kRasSuccess : kRasErrorInvalidHandle;
}

std::uint32_t MemoryRasApi::EnumConnections(std::vector<RasConn>& buffer,
                                            std::uint32_t& bufferBytes,
                                            std::uint32_t& connectionCount) {
    if (enumConnectionsResult != kRasSuccess)
        return enumConnectionsResult;
    std::vector<RasConn> list;
    for (const Connection& c : connections)
        list.push_back({0, c.handle, c.entryName, c.deviceType, c.deviceName});
    return FillRasList(list, kRasConnSize, buffer, bufferBytes, connectionCount);
}

std::uint32_t MemoryRasApi::GetConnectStatus(RasHandle connection, RasConnStatus& status) {
    if (status.size != kRasConnStatusSize)
        return kRasErrorInvalidSize;
    if (connectStatusResult != kRasSuccess)
        return connectStatusResult;
    for (const Connection& c : connections) {
        if (c.handle == connection) {
            status.state = c.state;
            status.error = c.error;
            status.deviceType = c.deviceType;
            status.deviceName = c.deviceName;
            return kRasSuccess;
        }
    }
    return kRasErrorInvalidHandle;
}

std::uint32_t MemoryRasApi::GetErrorString(std::uint32_t code, std::string& text,
                                           std::uint32_t bufferChars) {
    const auto custom = errorTexts.find(code);
    return CopyRasErrorString(custom != errorTexts.end() ? custom->second : RasErrorText(code),
                              text, bufferChars);
}

std::unique_ptr<RasLibrary> MemoryRasApi::LoadLibrary(const std::string& fileName) {
    if (!libraries.contains(fileName))
        return nullptr;
    loadedLibraries.push_back(fileName);
    return std::make_unique<Library>(*this, fileName);
}

std::uint32_t MemoryRasApi::GetEntryProperties(const std::string& entryName, RasEntry& entry,
                                               std::uint32_t& entryInfoSize) {
    if (entry.size != kRasEntrySize)
        return kRasErrorInvalidSize;
    const Entry* found = FindEntry(entryName);
    if (!found)
        return kRasErrorCannotFindPhonebookEntry;
    if (entryInfoSize < found->propertiesBytes) {
        entryInfoSize = found->propertiesBytes;
        return kRasErrorBufferTooSmall;
    }
    entry.localPhoneNumber = found->properties.localPhoneNumber;
    entry.deviceType = found->properties.deviceType;
    entry.deviceName = found->properties.deviceName;
    return kRasSuccess;
}

}  // namespace platform
