#pragma once
// The event pump of a client that runs on a worker thread: there are no windows to keep alive,
// and a stop asked for from another thread becomes the client's own abort request, set on the
// client's thread between the slices of its waits.
#include <functional>
#include <utility>

#include "mail/QelClient.h"
#include "platform/EventPump.h"

namespace mail {

class StopPump final : public platform::EventPump {
public:
    // stopRequested is asked from the client's thread; it must be safe to call there.
    explicit StopPump(std::function<bool()> stopRequested)
        : m_stopRequested(std::move(stopRequested)) {}
    // The client that waits with this pump.
    void Watch(TQelClient& client) { m_client = &client; }
    void ProcessMessages() override {
        if (m_client != nullptr && m_stopRequested())
            m_client->AbortRequested = true;
    }

private:
    std::function<bool()> m_stopRequested;
    TQelClient* m_client = nullptr;
};

}  // namespace mail
