#pragma once
// The desktop keyring through libsecret: the Secret Service on the session bus, or the file
// that libsecret's SECRET_BACKEND=file names. Every call runs on a worker thread and is waited
// for at most a bound, so a keyring that hangs, or an unlock prompt left open, never holds the
// window thread: the pump keeps the windows painting meanwhile.
#include <chrono>

#include "platform/EventPump.h"
#include "platform/SecretStore.h"

namespace platform {

class LibsecretStore final : public SecretStore {
public:
    // Long enough for the user to answer the desktop's unlock prompt.
    static constexpr std::chrono::milliseconds kDefaultBound{60000};

    // pump must outlive the store; it runs between short slices of every wait.
    explicit LibsecretStore(EventPump& pump, std::chrono::milliseconds bound = kDefaultBound)
        : m_pump(pump), m_bound(bound) {}

    SecretReply Store(const NetworkPasswordKey& key, const std::string& label,
                      const std::string& password) override;
    SecretReply Lookup(const NetworkPasswordKey& key, std::string& password) override;
    SecretReply Remove(const NetworkPasswordKey& key) override;

private:
    EventPump& m_pump;
    std::chrono::milliseconds m_bound;
};

}  // namespace platform
