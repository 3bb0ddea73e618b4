#pragma once
// The desktop keyring in memory: items by key, a switch that makes it unreachable, and one that
// makes it give back another password than it was given.
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "platform/SecretStore.h"

namespace testsupport {

class MemorySecretStore final : public platform::SecretStore {
public:
    struct Item {
        std::string label;
        std::string password;
    };

    platform::SecretReply Store(const platform::NetworkPasswordKey& key, const std::string& label,
                                const std::string& password) override {
        Answering();
        if (!reachable) {
            return Gone();
        }
        items[Key(key)] = {label, garbleStored ? password + "?" : password};
        return {};
    }
    platform::SecretReply Lookup(const platform::NetworkPasswordKey& key,
                                 std::string& password) override {
        Answering();
        ++lookups;
        if (!reachable) {
            return Gone();
        }
        const auto found = items.find(Key(key));
        if (found == items.end()) {
            return {platform::SecretStatus::NotFound, "no such item"};
        }
        password = found->second.password;
        return {};
    }
    platform::SecretReply Remove(const platform::NetworkPasswordKey& key) override {
        Answering();
        if (!reachable) {
            return Gone();
        }
        return items.erase(Key(key))
                   ? platform::SecretReply{}
                   : platform::SecretReply{platform::SecretStatus::NotFound, "no such item"};
    }

    // The item of user@server on a POP3 port, if any.
    const Item* Find(const std::string& user, const std::string& server, int port) const {
        const auto found = items.find({user, server, "pop3", port});
        return found == items.end() ? nullptr : &found->second;
    }

    using ItemKey = std::tuple<std::string, std::string, std::string, int>;
    std::map<ItemKey, Item> items;
    bool reachable = true;
    bool garbleStored = false;
    int lookups = 0;
    // Runs inside every call, as a click that arrives while the keyring answers.
    std::function<void()> whileAnswering;

private:
    void Answering() {
        if (whileAnswering) {
            whileAnswering();
        }
    }
    static ItemKey Key(const platform::NetworkPasswordKey& key) {
        return {key.user, key.server, key.protocol, key.port};
    }
    static platform::SecretReply Gone() {
        return {platform::SecretStatus::Unavailable, "no Secret Service on the session bus"};
    }
};

}  // namespace testsupport
