#include "platform/PppPeer.h"

#include "platform/FileRead.h"

#include <cctype>
#include <sstream>

namespace platform {

namespace {

std::string ReadFile(const std::string& path) {
    return TryReadFile(path).value_or(std::string());
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsSerialDevice(const std::string& word) {
    return word.rfind("/dev/", 0) == 0 || word.rfind("tty", 0) == 0;
}

// The number dialled by the first ATD command of a chat script ("ATDT0123", "ATD*99#").
std::string DialledNumber(const std::string& script) {
    const std::string lower = Lower(script);
    for (auto at = lower.find("atd"); at != std::string::npos; at = lower.find("atd", at + 3)) {
        std::size_t i = at + 3;
        if (i < lower.size() && (lower[i] == 't' || lower[i] == 'p'))
            ++i;
        std::string number;
        while (i < script.size() &&
               (std::isdigit(static_cast<unsigned char>(script[i])) ||
                std::string_view("*#,+-w").find(lower[i]) != std::string_view::npos))
            number += script[i++];
        if (!number.empty())
            return number;
    }
    return {};
}

void ReadConnectScript(const std::string& command, PppPeer& peer) {
    // A command line, where '#' inside a word is just a character ("*99#").
    const auto words = PppWords(command, false);
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        if (words[i] == "-T") {
            peer.phoneNumber = words[i + 1];
            return;
        }
    }
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        if (words[i] == "-f") {
            peer.phoneNumber = DialledNumber(ReadFile(words[i + 1]));
            return;
        }
    }
    peer.phoneNumber = DialledNumber(command);
}

}  // namespace

std::vector<std::string> PppWords(const std::string& text, bool comments) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            word += text[++i];
            inWord = true;
        } else if (quote) {
            if (c == quote)
                quote = 0;
            else
                word += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            inWord = true;
        } else if (c == '#' && comments) {
            while (i < text.size() && text[i] != '\n')
                ++i;
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

PppPeer ReadPppPeer(const std::string& peerPath) {
    PppPeer peer;
    const auto words = PppWords(ReadFile(peerPath));
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string option = Lower(words[i]);
        const bool hasValue = i + 1 < words.size();
        if (option == "user" && hasValue) {
            peer.userName = words[++i];
        } else if (option == "connect" && hasValue) {
            ReadConnectScript(words[++i], peer);
        } else if (option == "plugin" && hasValue) {
            if (Lower(words[++i]).find("pppoe") != std::string::npos)
                peer.deviceType = "PPPoE";
        } else if (words[i].rfind("nic-", 0) == 0) {
            peer.deviceName = words[i].substr(4);
        } else if (IsSerialDevice(words[i]) && peer.deviceName.empty()) {
            peer.deviceName = words[i];
            if (peer.deviceType.empty())
                peer.deviceType = "modem";
        }
    }
    return peer;
}

}  // namespace platform
