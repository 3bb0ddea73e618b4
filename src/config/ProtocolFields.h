#pragma once
// The account page's "Protocol :" choice (POP3 or IMAP) and the "Folder :" field that only an
// IMAP account uses.
#include <string>
#include <vector>

#include "config/DialogControls.h"

namespace config {

// "POP3" and "IMAP", for the stored "pop3" and "imap".
std::vector<std::string> ProtocolChoices();

// The stored protocol of the chosen entry.
std::string ProtocolWord(const Control& choice);

// Chooses the stored protocol's entry (any word other than "imap" shows POP3) and opens the
// folder field for IMAP alone.
void ShowProtocol(DialogControls& controls, const std::string& protocol);

// The port after a change to the protocol: the other protocol's usual port, or none, becomes
// this one's (993 for IMAP, 110 for POP3); any other port is the user's and is kept.
std::string PortForProtocol(const std::string& protocol, const std::string& port);

}  // namespace config
