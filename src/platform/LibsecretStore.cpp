#include "platform/LibsecretStore.h"

#include <libsecret/secret.h>

#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "platform/Secrets.h"

namespace platform {

namespace {

constexpr std::chrono::milliseconds kSlice{20};
// After a cancel the call ends quickly; a keyring that does not even then is left to its thread.
constexpr std::chrono::milliseconds kAfterCancel{1000};

// What a call works on, copied for the worker: the caller may give up and return before it ends.
struct CallData {
    NetworkPasswordKey key;
    std::string label;
    std::string password;
    ~CallData() { SecureClear(password); }
};

using KeyringCall = std::function<SecretReply(CallData&, GCancellable*)>;

SecretReply Failure(GError* error) {
    SecretReply reply{SecretStatus::Unavailable, error->message ? error->message : "no reason"};
    g_error_free(error);
    return reply;
}

std::string BoundText(std::chrono::milliseconds bound) {
    // Whole seconds, rounded up: a bound below one second is still "1 s".
    return "no answer within " + std::to_string((bound.count() + 999) / 1000) + " s";
}

// Runs the call on a worker thread and waits for it at most bound, pumping between slices.
SecretReply RunBounded(const KeyringCall& call, std::shared_ptr<CallData> data, EventPump& pump,
                       std::chrono::milliseconds bound) {
    GCancellable* cancellable = g_cancellable_new();
    auto task = std::make_shared<std::packaged_task<SecretReply()>>(
        [call, data, cancellable] { return call(*data, cancellable); });
    std::future<SecretReply> result = task->get_future();
    g_object_ref(cancellable);
    try {
        std::thread([task, cancellable] {
            (*task)();
            g_object_unref(cancellable);
        }).detach();
    } catch (const std::system_error& e) {
        g_object_unref(cancellable);
        g_object_unref(cancellable);
        return {SecretStatus::Unavailable, e.what()};
    }
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (result.wait_for(kSlice) != std::future_status::ready) {
        if (std::chrono::steady_clock::now() >= deadline) {
            g_cancellable_cancel(cancellable);
            g_object_unref(cancellable);
            result.wait_for(kAfterCancel);
            return {SecretStatus::Unavailable, BoundText(bound)};
        }
        pump.ProcessMessages();
    }
    g_object_unref(cancellable);
    return result.get();
}

std::shared_ptr<CallData> Data(const NetworkPasswordKey& key, std::string label = {},
                               std::string password = {}) {
    auto data = std::make_shared<CallData>();
    data->key = key;
    data->label = std::move(label);
    data->password = std::move(password);
    return data;
}

}  // namespace

SecretReply LibsecretStore::Store(const NetworkPasswordKey& key, const std::string& label,
                                  const std::string& password) {
    const KeyringCall call = [](CallData& d, GCancellable* cancellable) -> SecretReply {
        GError* error = nullptr;
        secret_password_store_sync(SECRET_SCHEMA_COMPAT_NETWORK, SECRET_COLLECTION_DEFAULT,
                                   d.label.c_str(), d.password.c_str(), cancellable, &error, "user",
                                   d.key.user.c_str(), "server", d.key.server.c_str(), "protocol",
                                   d.key.protocol.c_str(), "port", d.key.port, nullptr);
        return error ? Failure(error) : SecretReply{};
    };
    return RunBounded(call, Data(key, label, password), m_pump, m_bound);
}

SecretReply LibsecretStore::Lookup(const NetworkPasswordKey& key, std::string& password) {
    const KeyringCall call = [](CallData& d, GCancellable* cancellable) -> SecretReply {
        GError* error = nullptr;
        gchar* found = secret_password_lookup_sync(
            SECRET_SCHEMA_COMPAT_NETWORK, cancellable, &error, "user", d.key.user.c_str(), "server",
            d.key.server.c_str(), "protocol", d.key.protocol.c_str(), "port", d.key.port, nullptr);
        if (error) {
            return Failure(error);
        }
        if (!found) {
            return {SecretStatus::NotFound, "no such item in the keyring"};
        }
        d.password = found;
        secret_password_free(found);
        return {};
    };
    auto data = Data(key);
    SecretReply reply = RunBounded(call, data, m_pump, m_bound);
    if (reply.Ok()) {
        password = data->password;
    }
    return reply;
}

SecretReply LibsecretStore::Remove(const NetworkPasswordKey& key) {
    const KeyringCall call = [](CallData& d, GCancellable* cancellable) -> SecretReply {
        GError* error = nullptr;
        const gboolean removed = secret_password_clear_sync(
            SECRET_SCHEMA_COMPAT_NETWORK, cancellable, &error, "user", d.key.user.c_str(), "server",
            d.key.server.c_str(), "protocol", d.key.protocol.c_str(), "port", d.key.port, nullptr);
        if (error) {
            return Failure(error);
        }
        return removed ? SecretReply{} : SecretReply{SecretStatus::NotFound, "no such item"};
    };
    return RunBounded(call, Data(key), m_pump, m_bound);
}

}  // namespace platform
