#include "config/ProtocolFields.h"

#include "config/StoredChoice.h"
#include "settings/LineReader.h"
#include "settings/Tables.h"

namespace config {

namespace {

constexpr StoredChoice kChoices[] = {{"POP3", "pop3"}, {"IMAP", "imap"}};

constexpr const char* kPop3Port = "110";
constexpr const char* kImapPort = "993";

}  // namespace

std::vector<std::string> ProtocolChoices() {
    return ChoiceCaptions(kChoices);
}

std::string ProtocolWord(const Control& choice) {
    return ChoiceWord(kChoices, choice);
}

void ShowProtocol(DialogControls& controls, const std::string& protocol) {
    const std::string word = settings::ProtocolText(protocol);
    controls["ProtocolBox"].Index = ChoiceIndex(kChoices, word);
    controls["FolderTxt"].Enabled = word == "imap";
}

std::string PortForProtocol(const std::string& protocol, const std::string& port) {
    const std::string typed = settings::TrimBlanks(port);
    if (protocol == "imap" && (typed.empty() || typed == kPop3Port)) {
        return kImapPort;
    }
    if (protocol == "pop3" && typed == kImapPort) {
        return kPop3Port;
    }
    return port;
}

}  // namespace config
