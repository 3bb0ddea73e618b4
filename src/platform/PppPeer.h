#pragma once
// What a pppd peer file (and the chat script it names) tells about a dial-up entry.
#include <string>
#include <vector>

namespace platform {

struct PppPeer {
    std::string userName;     // "user" option
    std::string phoneNumber;  // chat's -T argument, or the number after ATD in the chat script
    std::string deviceType;   // "modem" for a serial device, "PPPoE" for the PPPoE plugin
    std::string deviceName;   // the serial device or the Ethernet interface
};

// Splits pppd option text into words: quotes group blanks, a backslash escapes the next
// character, and with comments on, '#' outside quotes starts a comment.
std::vector<std::string> PppWords(const std::string& text, bool comments = true);

// Reads a peer file; a chat script named with "-f" in its connect option is read for the
// phone number. Parts that cannot be read stay empty.
PppPeer ReadPppPeer(const std::string& peerPath);

}  // namespace platform
