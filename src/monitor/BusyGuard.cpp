#include "monitor/BusyGuard.h"

#include "settings/FindInSkin.h"

namespace monitor {

void BusyGuard::WhenIdle(const std::string& kind, std::function<void()> action) {
    if (!DeferWhileBusy(kind, action)) {
        action();
    }
}

bool BusyGuard::DeferWhileBusy(const std::string& kind, std::function<void()> action) {
    if (!m_busy) {
        return false;
    }
    std::erase_if(m_deferred, [&](const auto& waiting) { return waiting.first == kind; });
    m_deferred.emplace_back(kind, std::move(action));
    return true;
}

void BusyGuard::RunDeferred() noexcept {
    // Each handler is taken off the queue before it runs: one that starts a check of its own
    // runs the handlers that arrive during that check itself.
    while (!m_deferred.empty() && !m_busy) {
        auto action = std::move(m_deferred.front().second);
        m_deferred.pop_front();
        try {
            action();
        } catch (const settings::FatalSettingsError&) {
            // Shown already and the exit requested: nothing more may run.
            m_deferred.clear();
        } catch (const std::exception& e) {
            // What the desktop shell does with an error that reaches a handler's top.
            m_dialogs.ShowMessage(e.what());
        }
    }
}

}  // namespace monitor
