#pragma once
// The window's event pump as a test sees it: it counts its runs and runs the test's hook there,
// like a click arriving during a wait. It also measures, on the real clock, the longest time
// the window went without a pump. Header only, so that the fuzz targets can use it too.
#include <algorithm>
#include <chrono>
#include <functional>

#include "platform/EventPump.h"

namespace testsupport {

class FakeEventPump final : public platform::EventPump {
public:
    void ProcessMessages() override {
        const auto now = Clock::now();
        m_maxGap = std::max(m_maxGap, now - m_last);
        m_last = now;
        ++calls;
        if (onPump) {
            // A copy: the hook may replace itself.
            auto hook = onPump;
            hook();
            // Time spent in a handler is the window's own work, not a wait without pumping.
            m_last = Clock::now();
        }
    }

    // Starts measuring now.
    void StartTiming() {
        m_start = m_last = Clock::now();
        m_maxGap = {};
    }
    // Milliseconds since StartTiming.
    long long ElapsedMs() const { return Ms(Clock::now() - m_start); }
    // The longest gap between StartTiming, the pumps since and now, in milliseconds.
    long long MaxGapMs() const { return Ms(std::max(m_maxGap, Clock::now() - m_last)); }

    int calls = 0;
    std::function<void()> onPump;

private:
    using Clock = std::chrono::steady_clock;
    static long long Ms(Clock::duration d) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
    }

    Clock::time_point m_start = Clock::now();
    Clock::time_point m_last = m_start;
    Clock::duration m_maxGap{};
};

}  // namespace testsupport
