#include <gtest/gtest.h>

#include <memory>

#include "SkinTestSupport.h"
#include "skin/ThdTimer.h"

namespace {

using skintest::FakeTimerHost;

TEST(TThreadedTimer, StartsDisabledWithOneSecond) {
    FakeTimerHost host;
    skin::TThreadedTimer timer(host);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    EXPECT_EQ(timer.ThreadPriority, skin::TThreadPriority::Normal);
    EXPECT_EQ(host.RunningTimers(), 0);
}

TEST(TThreadedTimer, TicksOncePerIntervalWhileEnabled) {
    FakeTimerHost host;
    skin::TThreadedTimer timer(host);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetInterval(2);
    timer.SetEnabled(true);
    EXPECT_EQ(host.Advance(7), 3);
    EXPECT_EQ(ticks, 3);
    timer.SetEnabled(false);
    EXPECT_EQ(host.Advance(50), 0);
    EXPECT_EQ(host.RunningTimers(), 0) << "a disabled timer leaves nothing running";
}

TEST(TThreadedTimer, ChangingTheIntervalDisablesAndZeroNeverTicks) {
    FakeTimerHost host;
    skin::TThreadedTimer timer(host);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetInterval(5);
    timer.SetEnabled(true);
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

TEST(TThreadedTimer, EnablingAgainStartsThePeriodAgain) {
    FakeTimerHost host;
    skin::TThreadedTimer timer(host);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetInterval(10);
    timer.SetEnabled(true);
    host.Advance(7);
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    host.Advance(7);
    EXPECT_EQ(ticks, 0);
    host.Advance(3);
    EXPECT_EQ(ticks, 1);
}

TEST(TThreadedTimer, ASpanOfIntervalsIsOneTickUntilEnabledAgain) {
    FakeTimerHost host;
    skin::TThreadedTimer timer(host);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetInterval(10);
    timer.SetEnabled(true);
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

TEST(TThreadedTimer, DestructionFromInsideItsOwnTickReturns) {
    FakeTimerHost host;
    int ticks = 0;
    auto timer = std::make_unique<skin::TThreadedTimer>(host);
    timer->OnTimer = [&] {
        ++ticks;
        timer.reset();
    };
    timer->SetInterval(1);
    timer->SetEnabled(true);
    host.Advance(20);
    EXPECT_EQ(timer, nullptr);
    EXPECT_EQ(ticks, 1);
}

TEST(TThreadedTimer, DestructionOfARunningTimerStopsIt) {
    FakeTimerHost host;
    auto running = std::make_unique<skin::TThreadedTimer>(host);
    running->SetInterval(1000);
    running->SetEnabled(true);
    EXPECT_EQ(host.RunningTimers(), 1);
    running.reset();
    EXPECT_EQ(host.RunningTimers(), 0);
    EXPECT_EQ(host.Advance(5000), 0);
}

}  // namespace
