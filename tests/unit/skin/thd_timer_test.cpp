#include <gtest/gtest.h>

#include <memory>

#include "SkinTestSupport.h"
#include "skin/ThdTimer.h"

namespace {

using skintest::FakeTimerHost;

// A timer on a fake host that counts its ticks; named as the class so the tests keep their names.
class TThreadedTimer : public ::testing::Test {
protected:
    void StartCounting(int interval) {
        timer.OnTimer = [this] { ++ticks; };
        timer.SetInterval(interval);
        timer.SetEnabled(true);
    }

    FakeTimerHost host;
    skin::TThreadedTimer timer{host};
    int ticks = 0;
};

TEST_F(TThreadedTimer, StartsDisabledWithOneSecond) {
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    EXPECT_EQ(timer.ThreadPriority, skin::TThreadPriority::Normal);
    EXPECT_EQ(host.RunningTimers(), 0);
}

TEST_F(TThreadedTimer, TicksOncePerIntervalWhileEnabled) {
    StartCounting(2);
    EXPECT_EQ(host.Advance(7), 3);
    EXPECT_EQ(ticks, 3);
    timer.SetEnabled(false);
    EXPECT_EQ(host.Advance(50), 0);
    EXPECT_EQ(host.RunningTimers(), 0) << "a disabled timer leaves nothing running";
}

TEST_F(TThreadedTimer, ChangingTheIntervalDisablesAndZeroNeverTicks) {
    StartCounting(5);
    timer.SetInterval(5);
    EXPECT_TRUE(timer.Enabled());
    timer.SetInterval(7);
    EXPECT_FALSE(timer.Enabled());
    timer.SetInterval(0);
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    host.Advance(50);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(host.RunningTimers(), 0);
}

TEST_F(TThreadedTimer, EnablingAgainStartsThePeriodAgain) {
    StartCounting(10);
    host.Advance(7);
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    host.Advance(7);
    EXPECT_EQ(ticks, 0);
    host.Advance(3);
    EXPECT_EQ(ticks, 1);
}

TEST_F(TThreadedTimer, ASpanOfIntervalsIsOneTickUntilEnabledAgain) {
    StartCounting(10);
    timer.SetTickSpan(3);
    EXPECT_EQ(host.Advance(29), 0);
    EXPECT_EQ(host.Advance(31), 2);
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    EXPECT_EQ(timer.TickSpan(), 1u);
    timer.SetTickSpan(0);
    EXPECT_EQ(timer.TickSpan(), 1u);
    timer.SetTickSpan(1u << 30);
    EXPECT_EQ(timer.TickSpan(), 60000u) << "one period stays within ten minutes";
}

TEST_F(TThreadedTimer, DestructionFromInsideItsOwnTickReturns) {
    auto owned = std::make_unique<skin::TThreadedTimer>(host);
    owned->OnTimer = [&] {
        ++ticks;
        owned.reset();
    };
    owned->SetInterval(1);
    owned->SetEnabled(true);
    host.Advance(20);
    EXPECT_EQ(owned, nullptr);
    EXPECT_EQ(ticks, 1);
}

TEST_F(TThreadedTimer, DestructionOfARunningTimerStopsIt) {
    auto running = std::make_unique<skin::TThreadedTimer>(host);
    running->SetInterval(1000);
    running->SetEnabled(true);
    EXPECT_EQ(host.RunningTimers(), 1);
    running.reset();
    EXPECT_EQ(host.RunningTimers(), 0);
    EXPECT_EQ(host.Advance(5000), 0);
}

}  // namespace
