#include "platform/RasApi.h"

namespace platform {

std::string RasErrorText(std::uint32_t code) {
    switch (code) {
        case kRasErrorInvalidHandle:
            return "The handle is invalid.";
        case kRasErrorNotEnoughMemory:
            return "Not enough storage is available to process this command.";
        case kRasErrorInvalidParameter:
            return "The parameter is incorrect.";
        case kRasErrorPortAlreadyOpen:
            return "The port is already open.";
        case kRasErrorBufferTooSmall:
            return "The buffer is too small.";
        case kRasErrorCannotFindPhonebookEntry:
            return "The phone book entry for this connection cannot be found.";
        case kRasErrorInvalidSize:
            return "The structure size is incorrect.";
        case kRasErrorFromDevice:
            return "The modem (or other connecting device) has reported an error.";
        case kRasErrorNoAnswer:
            return "There was no answer.";
        default:
            return {};
    }
}

std::uint32_t CopyRasErrorString(const std::string& found, std::string& text,
                                 std::uint32_t bufferChars) {
    if (found.empty() || bufferChars == 0)
        return kRasErrorInvalidParameter;
    text = found.substr(0, bufferChars - 1);
    return kRasSuccess;
}

}  // namespace platform
