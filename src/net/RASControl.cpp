#include "net/RASControl.h"

#include <algorithm>
#include <cctype>

namespace net {

using namespace platform;

namespace {

const std::string kBusyText = "A connection attempt is already in progress.";
const std::string kRasApiLibrary = "rasapi32.dll";
const std::string kFallbackLibrary = "rnaph.dll";
const std::string kEntryPropertiesName = "RasGetEntryProperties";
constexpr std::uint32_t kConnectionRoom = 100;

std::string Trim(const std::string& text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    auto first = std::find_if_not(text.begin(), text.end(), blank);
    auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

TRASControl::TRASControl(RasApi& api) : m_api(api) {
    m_items.reserve(10);
}

TRASControl::~TRASControl() = default;

const TRASEntryItem& TRASControl::Item(int index) const {
    CheckIndex(index);
    return m_items[static_cast<std::size_t>(index)];
}

void TRASControl::CheckIndex(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_items.size())
        throw ERASControlError("Index (" + std::to_string(index) + ") out of bounds.");
}

void TRASControl::RefreshEntries() {
    m_items.clear();
    m_entries.clear();
    m_busy = false;

    std::vector<RasEntryName> buffer(1);
    buffer[0].size = kRasEntryNameSize;
    std::uint32_t bytes = kRasEntryNameSize;
    std::uint32_t count = 0;
    std::uint32_t result = m_api.EnumEntries(buffer, bytes, count);
    if (result == kRasErrorBufferTooSmall) {
        buffer.assign((bytes + kRasEntryNameSize - 1) / kRasEntryNameSize, RasEntryName{});
        buffer[0].size = kRasEntryNameSize;
        result = m_api.EnumEntries(buffer, bytes, count);
    }
    // Any other failure leaves the list empty without a message: the dial-up option then
    // simply offers no entry.
    if (result == kRasSuccess) {
        count = std::min(count, static_cast<std::uint32_t>(buffer.size()));
        for (std::uint32_t i = 0; i < count; ++i)
            ReadEntry(buffer[i].entryName);
    }
    if (OnEntryListChange)
        OnEntryListChange(*this);
}

void TRASControl::ReadEntry(const std::string& name) {
    TRASEntryItem item;
    item.EntryName = name;

    // An entry that was never dialled has no stored parameters; its fields then stay empty.
    RasDialParams params;
    params.size = kRasDialParamsSize;
    params.entryName = name;
    bool passwordSaved = false;
    if (m_api.GetEntryDialParams(params, passwordSaved) == kRasSuccess) {
        item.CallbackNumber = params.callbackNumber;
        item.UserName = params.userName;
        item.Password = params.password;
        item.Domain = params.domain;
        item.PasswordSaved = passwordSaved;
    }

    RasEntry properties;
    properties.size = kRasEntrySize;
    std::uint32_t infoSize = kRasEntrySize;
    std::uint32_t result = GetEntryProperties(name, properties, infoSize);
    if (result == kRasErrorBufferTooSmall) {
        properties = RasEntry{};
        properties.size = kRasEntrySize;
        result = GetEntryProperties(name, properties, infoSize);
    }
    // Unreadable properties leave the phone number and device empty; dialling still works
    // from the stored parameters.
    if (result == kRasSuccess) {
        item.PhoneNumber = properties.localPhoneNumber;
        item.DeviceType = properties.deviceType;
        item.DeviceName = properties.deviceName;
    }

    m_entries.push_back(name);
    m_items.push_back(std::move(item));
}

std::uint32_t TRASControl::GetEntryProperties(const std::string& entryName, RasEntry& entry,
                                              std::uint32_t& entryInfoSize) {
    return EntryPropertiesFunction()(entryName, entry, entryInfoSize);
}

RasGetEntryPropertiesFunction TRASControl::EntryPropertiesFunction() {
    if (m_propertiesLibrary) {
        auto function = m_propertiesLibrary->FindEntryProperties(m_propertiesExport);
        if (!function)
            throw ERASControlError("Function " + m_propertiesExport + " not found!");
        return function;
    }

    auto rasapi = m_api.LoadLibrary(kRasApiLibrary);
    if (!rasapi)
        throw ERASControlError("Error opening " + kRasApiLibrary);
    const std::string ansiName = kEntryPropertiesName + "A";
    if (auto function = rasapi->FindEntryProperties(ansiName)) {
        m_propertiesLibrary = std::move(rasapi);
        m_propertiesExport = ansiName;
        return function;
    }

    // Older systems export the function without the "A" from a library of its own.
    auto fallback = m_api.LoadLibrary(kFallbackLibrary);
    if (!fallback)
        throw ERASControlError("Error opening " + kFallbackLibrary);
    auto function = fallback->FindEntryProperties(kEntryPropertiesName);
    if (!function)
        throw ERASControlError("Function " + kEntryPropertiesName + " not found!");
    m_propertiesLibrary = std::move(fallback);
    m_propertiesExport = kEntryPropertiesName;
    return function;
}

void TRASControl::Dial(int index) {
    CheckIndex(index);
    if (m_busy)
        ReleaseDroppedLines();
    if (m_busy) {
        m_lastError = kBusyText;
        throw ERASControlError(kBusyText);
    }
    TRASEntryItem& item = m_items[static_cast<std::size_t>(index)];
    if (item.State != kRasStateDisconnected && item.State != kRasStateUnknown)
        return;

    item.Dialing = true;
    m_busy = true;
    RasDialParams params;
    params.size = kRasDialParamsSize;
    params.entryName = item.EntryName;
    params.phoneNumber = item.PhoneNumber;
    params.callbackNumber = item.CallbackNumber;
    params.userName = item.UserName;
    params.password = item.Password;
    params.domain = item.Domain;
    if (const std::uint32_t stored = m_api.SetEntryDialParams(params, false);
        stored != kRasSuccess) {
        m_lastError = PlatformText(stored);
        item.Dialing = false;
        m_busy = false;
        throw ERASControlError("Dial failed with message: " + m_lastError);
    }

    RasHandle connection = 0;
    const std::uint32_t result = m_api.Dial(params, connection);
    item.Connection = connection;
    if (result == kRasSuccess || result == kRasErrorPortAlreadyOpen)
        return;

    AbandonDial(index, connection);
    const std::string text =
        Trim(result == kRasErrorNotEnoughMemory ? std::string("Not enough memory.")
                                                : PlatformText(result));
    m_lastError = Lower(text);
    throw ERASControlError(text);
}

void TRASControl::AbandonDial(int index, RasHandle dialled) {
    // The dial's own error is the one to report, so the result of this hang-up is not: it
    // only releases what the failed dial left behind. The entry must leave the busy state
    // whatever happens, or it could never be dialled again.
    RasHandle connection = FindConnection(index);
    if (connection == 0)
        connection = dialled;
    if (connection != 0)
        m_api.HangUp(connection);
    m_items[static_cast<std::size_t>(index)].Connection = 0;
    ChangeState(index, 0, kRasStateDisconnected);
}

void TRASControl::ReleaseDroppedLines() {
    // A dial ends before Dial returns, so Busy outlives it only while the line is up; a line
    // that has dropped since (no hang-up was sent) must not refuse the next dial. A list that
    // cannot be read proves nothing, so then the dial stays busy.
    std::vector<RasConn> list;
    if (EnumConnections(list) != kRasSuccess)
        return;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        TRASEntryItem& item = m_items[i];
        const bool up = std::any_of(list.begin(), list.end(), [&](const RasConn& connection) {
            return connection.entryName == item.EntryName;
        });
        if (item.Dialing && !up) {
            item.Connection = 0;
            ChangeState(static_cast<int>(i), 0, kRasStateDisconnected);
        }
    }
}

void TRASControl::HangUp(int index) {
    CheckIndex(index);
    TRASEntryItem& item = m_items[static_cast<std::size_t>(index)];
    item.Connection = FindConnection(index);
    const std::uint32_t result = m_api.HangUp(item.Connection);
    if (result != kRasSuccess) {
        const std::string text = result == kRasErrorInvalidHandle ? std::string("Invalid handle.")
                                                                  : PlatformText(result);
        throw ERASControlError("Hang up failed. " + Trim(text));
    }
    item.Connection = 0;
    item.Dialing = false;
    item.State = kRasStateDisconnected;
    ChangeState(index, 0, kRasStateDisconnected);
}

RasHandle TRASControl::GetConnectionStatus(const std::string& entryName, RasConnStatus& status) {
    status = RasConnStatus{};
    status.size = kRasConnStatusSize;

    std::vector<RasConn> list;
    if (const std::uint32_t result = EnumConnections(list); result != kRasSuccess) {
        std::string text;
        if (result == kRasErrorNotEnoughMemory)
            text = "ERROR_NOT_ENOUGH_MEMORY";
        else if (result == kRasErrorBufferTooSmall)
            text = "ERROR_BUFFER_TOO_SMALL";
        else
            text = PlatformText(result);
        throw ERASControlError("RAS: " + text);
    }
    for (const RasConn& connection : list) {
        if (connection.entryName != entryName)
            continue;
        if (const std::uint32_t result = m_api.GetConnectStatus(connection.handle, status);
            result != kRasSuccess) {
            // The connection ended between the listing and the status query.
            status = RasConnStatus{};
            status.size = kRasConnStatusSize;
            status.state = kRasStateDisconnected;
            status.error = result;
        }
        return connection.handle;
    }
    status.state = kRasStateDisconnected;
    status.error = 0;
    return 0;
}

RasHandle TRASControl::FindConnection(int index) {
    CheckIndex(index);
    TRASEntryItem& item = m_items[static_cast<std::size_t>(index)];
    item.Connection = 0;
    std::vector<RasConn> list;
    if (EnumConnections(list) != kRasSuccess)
        return 0;
    for (const RasConn& connection : list) {
        if (connection.entryName == item.EntryName) {
            item.Connection = connection.handle;
            break;
        }
    }
    return item.Connection;
}

std::uint32_t TRASControl::EnumConnections(std::vector<RasConn>& list) {
    std::vector<RasConn> buffer(kConnectionRoom);
    buffer[0].size = kRasConnSize;
    std::uint32_t bytes = kConnectionRoom * kRasConnSize;
    std::uint32_t count = 0;
    const std::uint32_t result = m_api.EnumConnections(buffer, bytes, count);
    if (result == kRasSuccess)
        list.assign(buffer.begin(), buffer.begin() + std::min(count, kConnectionRoom));
    return result;
}

void TRASControl::ChangeState(int index, int value, int state) {
    TRASEntryItem& item = m_items[static_cast<std::size_t>(index)];
    item.State = state;
    item.Dialing =
        state != kRasStateConnected && state != kRasStateDisconnected && state != kRasStateUnknown;
    m_busy = item.Dialing;
    if (OnConnectionStatus)
        OnConnectionStatus(*this, index, value, state);
}

std::string TRASControl::PlatformText(std::uint32_t code) {
    std::string text;
    if (m_api.GetErrorString(code, text, kRasErrorStringChars) != kRasSuccess || text.empty())
        return "RAS error " + std::to_string(code);
    return text;
}

}  // namespace net
