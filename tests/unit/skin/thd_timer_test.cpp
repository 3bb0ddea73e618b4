#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "SkinTestSupport.h"
#include "skin/ThdTimer.h"

namespace {

using skintest::TestWindowThread;

// Outlives every timer thread, also one that ends after its test has finished.
TestWindowThread& Window() {
    static TestWindowThread* window = new TestWindowThread();
    return *window;
}

// Runs the window thread until done() holds or five seconds have passed.
template <typename Done>
bool RunUntil(Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < end) {
        Window().RunFor(10);
    }
    return done();
}

TEST(TThreadedTimer, StartsDisabledWithOneSecond) {
    skin::TThreadedTimer timer(Window());
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    EXPECT_EQ(timer.ThreadPriority, skin::TThreadPriority::Normal);
}

TEST(TThreadedTimer, TicksOnTheWindowThreadWhileEnabled) {
    skin::TThreadedTimer timer(Window());
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetInterval(2);
    timer.SetEnabled(true);
    EXPECT_TRUE(RunUntil([&] { return ticks >= 3; }));
    timer.SetEnabled(false);
    Window().RunFor(20);
    const int stopped = ticks;
    Window().RunFor(50);
    EXPECT_EQ(ticks, stopped);
}

TEST(TThreadedTimer, ChangingTheIntervalDisablesAndZeroNeverTicks) {
    skin::TThreadedTimer timer(Window());
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
    EXPECT_FALSE(Window().WaitForPending(50));
    EXPECT_EQ(ticks, 0);
}

TEST(TThreadedTimer, ATickWaitingWhenDisabledDoesNotRun) {
    skin::TThreadedTimer timer(Window());
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetInterval(1);
    timer.SetEnabled(true);
    ASSERT_TRUE(Window().WaitForPending(5000));
    timer.SetEnabled(false);
    Window().RunFor(20);
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true);
    EXPECT_TRUE(RunUntil([&] { return ticks >= 1; }));
}

TEST(TThreadedTimer, DestructionWhileATickWaitsForTheWindowThreadReturns) {
    int ticks = 0;
    auto timer = std::make_unique<skin::TThreadedTimer>(Window());
    timer->OnTimer = [&] { ++ticks; };
    timer->SetInterval(1);
    timer->SetEnabled(true);
    ASSERT_TRUE(Window().WaitForPending(5000));
    timer.reset();
    EXPECT_GE(Window().RunFor(20), 1);
    EXPECT_EQ(ticks, 0);
}

TEST(TThreadedTimer, DestructionFromInsideItsOwnTickReturns) {
    int ticks = 0;
    std::unique_ptr<skin::TThreadedTimer> timer = std::make_unique<skin::TThreadedTimer>(Window());
    timer->OnTimer = [&] {
        ++ticks;
        timer.reset();
    };
    timer->SetInterval(1);
    timer->SetEnabled(true);
    EXPECT_TRUE(RunUntil([&] { return timer == nullptr; }));
    Window().RunFor(20);
    EXPECT_EQ(ticks, 1);
}

TEST(TThreadedTimer, DestructionOfADisabledOrRunningTimerReturns) {
    { skin::TThreadedTimer idle(Window()); }
    skin::TThreadedTimer* running = new skin::TThreadedTimer(Window());
    running->SetInterval(1000);
    running->SetEnabled(true);
    delete running;
    EXPECT_EQ(Window().Pending(), 0);
}

}  // namespace
