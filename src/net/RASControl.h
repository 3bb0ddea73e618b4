#pragma once
// TRASControl: the dial-up entries of the default phone book, dialling with their stored
// parameters, the state of a connection and the hang-up, over the platform's dial-up service.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/RasApi.h"

namespace net {

// Every failure of the control, carrying the text the user sees.
class ERASControlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TRASEntryItem {
    std::string EntryName;
    std::string PhoneNumber;
    std::string CallbackNumber;
    std::string UserName;
    std::string Password;
    std::string Domain;
    bool PasswordSaved = false;
    platform::RasHandle Connection = 0;
    int State = platform::kRasStateUnknown;
    std::uint32_t LastErrorCode = 0;
    std::string DeviceType;
    std::string DeviceName;
    bool Dialing = false;
};

class TRASControl;
using TRASNotifyEvent =
    std::function<void(TRASControl& sender, int entryIndex, int value, int state)>;

class TRASControl {
public:
    // The service must outlive the control.
    explicit TRASControl(platform::RasApi& api);
    ~TRASControl();
    TRASControl(const TRASControl&) = delete;
    TRASControl& operator=(const TRASControl&) = delete;

    TRASNotifyEvent OnConnectionStatus;
    std::function<void(TRASControl& sender)> OnEntryListChange;

    // Entry names in phone-book order.
    const std::vector<std::string>& Entries() const { return m_entries; }
    const TRASEntryItem& Item(int index) const;
    const std::string& LastError() const { return m_lastError; }
    bool Busy() const { return m_busy; }

    void RefreshEntries();
    void Dial(int index);
    void HangUp(int index);
    // Fills status for the active connection of that entry name and returns its handle; a name
    // without a connection reports kRasStateDisconnected and the null handle.
    platform::RasHandle GetConnectionStatus(const std::string& entryName,
                                            platform::RasConnStatus& status);
    platform::RasHandle FindConnection(int index);
    void CheckIndex(int index) const;

private:
    std::uint32_t EnumConnections(std::vector<platform::RasConn>& list);
    void ReadEntry(const std::string& name);
    std::uint32_t GetEntryProperties(const std::string& entryName, platform::RasEntry& entry,
                                     std::uint32_t& entryInfoSize);
    platform::RasGetEntryPropertiesFunction EntryPropertiesFunction();
    void AbandonDial(int index, platform::RasHandle dialled);
    void ReleaseDroppedLines();
    void ChangeState(int index, int value, int state);
    std::string PlatformText(std::uint32_t code);

    platform::RasApi& m_api;
    std::vector<std::string> m_entries;
    std::vector<TRASEntryItem> m_items;
    std::string m_lastError;
    bool m_busy = false;
    std::unique_ptr<platform::RasLibrary> m_propertiesLibrary;  // null until first used
    std::string m_propertiesExport;                             // export name in that library
};

}  // namespace net
