#pragma once
// The desktop keyring as the program sees it: network passwords stored, looked up and removed
// by user, server, protocol and port. The program gives the Secret Service one (LibsecretStore);
// tests give an in-memory one.
#include <string>

namespace platform {

// One item of the keyring's network-password schema.
struct NetworkPasswordKey {
    std::string user;
    std::string server;
    std::string protocol;
    int port = 0;

    bool operator==(const NetworkPasswordKey&) const = default;
};

enum class SecretStatus {
    Ok,
    NotFound,     // the keyring answered: it holds no such item
    Unavailable,  // no keyring answered, or it refused (a locked one whose unlock was cancelled)
};

struct SecretReply {
    SecretStatus Status = SecretStatus::Ok;
    std::string Error;  // why, when not Ok; the keyring's own words where it gave some

    bool Ok() const { return Status == SecretStatus::Ok; }
};

class SecretStore {
public:
    virtual ~SecretStore() = default;
    // Stores the password under the key, replacing an item of the same key.
    virtual SecretReply Store(const NetworkPasswordKey& key, const std::string& label,
                              const std::string& password) = 0;
    // The password of the key's item; NotFound when there is none.
    virtual SecretReply Lookup(const NetworkPasswordKey& key, std::string& password) = 0;
    // Deletes the key's item; NotFound when there was none.
    virtual SecretReply Remove(const NetworkPasswordKey& key) = 0;
};

}  // namespace platform
