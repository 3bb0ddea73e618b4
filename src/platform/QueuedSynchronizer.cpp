#include "platform/QueuedSynchronizer.h"

namespace platform {

QueuedSynchronizer::QueuedSynchronizer() : m_owner(std::this_thread::get_id()) {}

void QueuedSynchronizer::Synchronize(const std::function<void()>& call) {
    if (std::this_thread::get_id() == m_owner) {
        call();
        return;
    }
    auto queued = std::make_shared<Call>();
    queued->run = call;
    std::unique_lock lock(m_mutex);
    m_queue.push_back(queued);
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return queued->done; });
}

void QueuedSynchronizer::ProcessMessages() {
    if (OnProcessMessages)
        OnProcessMessages();
    std::deque<std::shared_ptr<Call>> calls;
    {
        std::lock_guard lock(m_mutex);
        calls.swap(m_queue);
    }
    const auto release = [this](Call& call) {
        std::lock_guard lock(m_mutex);
        call.done = true;
        m_changed.notify_all();
    };
    for (std::size_t i = 0; i < calls.size(); ++i) {
        try {
            calls[i]->run();
        } catch (...) {
            release(*calls[i]);
            std::lock_guard lock(m_mutex);
            m_queue.insert(m_queue.begin(), calls.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                           calls.end());
            throw;
        }
        release(*calls[i]);
    }
}

bool QueuedSynchronizer::WaitForCall(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return !m_queue.empty(); });
}

std::size_t QueuedSynchronizer::PendingCalls() const {
    std::lock_guard lock(m_mutex);
    return m_queue.size();
}

}  // namespace platform
