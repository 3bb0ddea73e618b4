#pragma once
// The dial-up networking service, shaped like the dial-up functions TRASControl calls.
// Every record carries a size field that the caller sets to the record's size (the k…Size
// constants); a backend refuses a record of another size with kRasErrorInvalidSize. Results are
// the service's error codes, 0 for success. Lists are filled into a caller's buffer whose size
// in bytes is passed in and out; a buffer too small yields kRasErrorBufferTooSmall and the size
// it needs.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// A connection handle; 0 is the null handle.
using RasHandle = std::uintptr_t;

inline constexpr std::uint32_t kRasEntryNameSize = 264;
inline constexpr std::uint32_t kRasDialParamsSize = 1052;
inline constexpr std::uint32_t kRasEntrySize = 1768;
inline constexpr std::uint32_t kRasConnSize = 412;
inline constexpr std::uint32_t kRasConnStatusSize = 160;
// Characters of the buffer that receives an error text, its terminating zero included.
inline constexpr std::uint32_t kRasErrorStringChars = 256;

inline constexpr std::uint32_t kRasSuccess = 0;
inline constexpr std::uint32_t kRasErrorInvalidHandle = 6;
inline constexpr std::uint32_t kRasErrorNotEnoughMemory = 8;
inline constexpr std::uint32_t kRasErrorInvalidParameter = 87;
inline constexpr std::uint32_t kRasErrorPortAlreadyOpen = 602;
inline constexpr std::uint32_t kRasErrorBufferTooSmall = 603;
inline constexpr std::uint32_t kRasErrorCannotFindPhonebookEntry = 623;
inline constexpr std::uint32_t kRasErrorInvalidSize = 632;
inline constexpr std::uint32_t kRasErrorFromDevice = 651;
inline constexpr std::uint32_t kRasErrorNoAnswer = 678;

// Connection states; any other value is a step of a dial in progress.
inline constexpr int kRasStateOpenPort = 0;
inline constexpr int kRasStateConnected = 8192;
inline constexpr int kRasStateDisconnected = 8193;
inline constexpr int kRasStateUnknown = -1;

struct RasEntryName {
    std::uint32_t size = 0;
    std::string entryName;
};

struct RasDialParams {
    std::uint32_t size = 0;
    std::string entryName;
    std::string phoneNumber;
    std::string callbackNumber;
    std::string userName;
    std::string password;
    std::string domain;
};

// The part of an entry's properties that the control reads.
struct RasEntry {
    std::uint32_t size = 0;
    std::string localPhoneNumber;
    std::string deviceType;
    std::string deviceName;
};

struct RasConn {
    std::uint32_t size = 0;
    RasHandle handle = 0;
    std::string entryName;
    std::string deviceType;
    std::string deviceName;
};

struct RasConnStatus {
    std::uint32_t size = 0;
    int state = 0;
    std::uint32_t error = 0;
    std::string deviceType;
    std::string deviceName;
};

// The entry-properties function: reads the properties of an entry of the default phone book
// into entry, whose buffer holds entryInfoSize bytes (at least kRasEntrySize; some entries need
// more, which the function reports with kRasErrorBufferTooSmall and the size in entryInfoSize).
using RasGetEntryPropertiesFunction = std::function<std::uint32_t(
    const std::string& entryName, RasEntry& entry, std::uint32_t& entryInfoSize)>;

// A library of the service loaded at run time; released when destroyed.
class RasLibrary {
public:
    virtual ~RasLibrary() = default;
    // The exported entry-properties function of that name; empty when the library lacks it.
    virtual RasGetEntryPropertiesFunction FindEntryProperties(const std::string& exportName) = 0;
};

class RasApi {
public:
    virtual ~RasApi() = default;

    // Entry names of the default phone book, in phone-book order. buffer holds at least
    // bufferBytes / kRasEntryNameSize records; the first record's size must be set.
    virtual std::uint32_t EnumEntries(std::vector<RasEntryName>& buffer, std::uint32_t& bufferBytes,
                                      std::uint32_t& entryCount) = 0;

    // The stored dial parameters of params.entryName; passwordSaved tells whether a password is
    // kept.
    virtual std::uint32_t GetEntryDialParams(RasDialParams& params, bool& passwordSaved) = 0;

    // Stores the dial parameters of params.entryName; removePassword forgets the stored password.
    virtual std::uint32_t SetEntryDialParams(const RasDialParams& params, bool removePassword) = 0;

    // Dials the entry and returns when dialling has ended. connection receives the handle of
    // the connection, also after most failures (it must then be hung up).
    virtual std::uint32_t Dial(const RasDialParams& params, RasHandle& connection) = 0;

    virtual std::uint32_t HangUp(RasHandle connection) = 0;

    // The active connections; same buffer rule as EnumEntries with kRasConnSize records.
    virtual std::uint32_t EnumConnections(std::vector<RasConn>& buffer, std::uint32_t& bufferBytes,
                                          std::uint32_t& connectionCount) = 0;

    virtual std::uint32_t GetConnectStatus(RasHandle connection, RasConnStatus& status) = 0;

    // The service's text for an error code, cut to bufferChars - 1 characters.
    virtual std::uint32_t GetErrorString(std::uint32_t code, std::string& text,
                                         std::uint32_t bufferChars) = 0;

    // Loads a library of the service by its file name; null when it cannot be loaded.
    virtual std::unique_ptr<RasLibrary> LoadLibrary(const std::string& fileName) = 0;
};

// The buffer rule of the list functions, for backends: copies items into buffer (each with its
// size set) when bufferBytes is enough, otherwise reports the bytes needed.
template <class Record>
std::uint32_t FillRasList(const std::vector<Record>& items, std::uint32_t recordSize,
                          std::vector<Record>& buffer, std::uint32_t& bufferBytes,
                          std::uint32_t& count) {
    if (buffer.empty() || buffer.front().size != recordSize)
        return kRasErrorInvalidSize;
    if (bufferBytes > buffer.size() * recordSize)
        return kRasErrorInvalidParameter;
    const auto needed = static_cast<std::uint32_t>(items.size() * recordSize);
    count = static_cast<std::uint32_t>(items.size());
    if (bufferBytes < needed) {
        bufferBytes = needed;
        return kRasErrorBufferTooSmall;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        buffer[i] = items[i];
        buffer[i].size = recordSize;
    }
    bufferBytes = needed;
    return kRasSuccess;
}

// The texts of the error codes above, as both backends report them; empty for other codes.
std::string RasErrorText(std::uint32_t code);

// GetErrorString for backends: copies found into text within bufferChars, or fails for a code
// without a text.
std::uint32_t CopyRasErrorString(const std::string& found, std::string& text,
                                 std::uint32_t bufferChars);

}  // namespace platform
