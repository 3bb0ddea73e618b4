#include "platform/LocalHost.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <array>

namespace platform {

std::string LocalHostName() {
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) != 0) {
        return {};
    }
    return name.data();
}

std::string LocalHostAddress() {
    const std::string name = LocalHostName();
    if (name.empty()) {
        return {};
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return {};
    }
    const addrinfo* last = found;
    while (last->ai_next != nullptr) {
        last = last->ai_next;
    }
    std::array<char, INET_ADDRSTRLEN> text{};
    const auto* address = reinterpret_cast<const sockaddr_in*>(last->ai_addr);
    const char* ok = inet_ntop(AF_INET, &address->sin_addr, text.data(), text.size());
    freeaddrinfo(found);
    return ok != nullptr ? std::string(text.data()) : std::string();
}

}  // namespace platform
