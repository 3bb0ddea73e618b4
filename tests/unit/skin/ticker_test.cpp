#include <gtest/gtest.h>

#include "FakeEventPump.h"
#include "SkinTestSupport.h"
#include "platform/LocalHost.h"
#include "skin/BmpFile.h"
#include "skin/Ticker.h"

namespace {

using skin::TextImage;

class FakeOwner : public skin::TickerOwner {
public:
    bool connected = false;
    std::string error;
    int newsReads = 0;
    std::vector<std::string> links;
    int drawings = 0;

    bool IsConnected() const override { return connected; }
    std::string ErrorNotice() const override { return error; }
    void LitVrNews() override { ++newsReads; }
    void OpenLink(const std::string& url) override { links.push_back(url); }
    void TextImageChanged(TextImage) override { ++drawings; }
};

constexpr int kW = 4;
constexpr int kH = 5;

class TickerTest : public ::testing::Test {
protected:
    testsupport::TempFolder dir;
    skin::MainWindowSkin skin;
    FakeOwner owner;
    testsupport::FakeEventPump pump;
    skintest::FakeTimerHost timers;
    std::string statusText = "Disconnected";
    skin::TStatusTicker ticker{statusText, skin, owner, pump, timers};

    TickerTest() {
        skin::WriteBmp(skintest::TaggedBitmap(26 * kW, 3 * kH + 1, 3), dir.Folder() + "font.bmp");
        skin.StatusFontPath = dir.Folder() + "font.bmp";
        skin.StatusCellWidth = kW;
        skin.StatusCellHeight = kH;
        skin.Background = skintest::TaggedBitmap(200, 40, 1);
        skin.STATBMP.Left = 2;
        skin.STATBMP.Top = 3;
        ticker.SetSpeed(0);
    }

    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            ticker.DoScroll();
        }
    }

    // The cell of letter c drawn at image x (offset 0).
    bool ShowsLetterAt(char c, int x) const {
        const skin::Bitmap& image = skin.STATBMP.Shown.Image;
        return !image.Empty() && image.At(x, 0) == skintest::Tagged((c - 'A') * kW, 0, 3);
    }
};

TEST_F(TickerTest, SpeedTable) {
    struct Row {
        int speed;
        int interval;
        int pause;
        int minute;
    };
    const Row rows[] = {
        {1, 15, 200, 4000}, {2, 5, 600, 12000}, {-1, 5, 600, 12000},
        {0, 30, 100, 2000}, {7, 30, 100, 2000},  // a hand-edited value keeps the row in use
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.speed);
        ticker.SetSpeed(row.speed);
        EXPECT_EQ(ticker.Scroll.Interval(), row.interval);
        EXPECT_EQ(ticker.PauseLength(), row.pause);
        EXPECT_EQ(ticker.MinuteTicks(), row.minute);
    }
}

TEST_F(TickerTest, SingleItemPausesScrollsOutAndComesBack) {
    ticker.NewsLines = {"AB"};
    ticker.TickerText = "AB";
    Ticks(99);
    EXPECT_TRUE(ticker.PauseActive);
    EXPECT_EQ(ticker.ScrollOffset, 0);
    EXPECT_EQ(owner.drawings, 0);
    Ticks(1);
    EXPECT_FALSE(ticker.PauseActive);
    EXPECT_EQ(ticker.ScrollOffset, 1);
    Ticks(9);  // offset 10: past the 9-pixel strip
    EXPECT_EQ(ticker.ScrollOffset, 10);
    EXPECT_TRUE(ticker.PastEnd);
    Ticks(1);
    EXPECT_EQ(ticker.ScrollOffset, 0);
    EXPECT_EQ(ticker.NewsIndex, 0);
    EXPECT_TRUE(ticker.PauseActive);
    EXPECT_EQ(ticker.PauseCount, 30);
    EXPECT_TRUE(ShowsLetterAt('A', 1));
    Ticks(69);
    EXPECT_TRUE(ticker.PauseActive);
    EXPECT_EQ(ticker.ScrollOffset, 0);
    Ticks(1);
    EXPECT_EQ(ticker.ScrollOffset, 1);
}

TEST_F(TickerTest, SpeedOutsideTheTableKeepsScrolling) {
    ticker.SetSpeed(7);
    ticker.NewsLines = {"AB", "CD"};
    ticker.TickerText = "AB";
    Ticks(100 + 10 + 70);  // the first pause, AB scrolled out, the pause after it
    EXPECT_EQ(ticker.NewsIndex, 1);
    EXPECT_FALSE(ticker.PauseActive) << "the pause after an item ends";
    EXPECT_EQ(ticker.ScrollOffset, 1);
}

TEST_F(TickerTest, NextItemsFollowAndAnErrorReplacesThem) {
    ticker.NewsLines = {"AB", "CD###http://example.org/a", "EF"};
    ticker.TickerText = "AB";
    ticker.PastEnd = true;
    ticker.PauseActive = false;
    ticker.RefreshTicks = 1;
    Ticks(1);
    EXPECT_EQ(ticker.NewsIndex, 1);
    EXPECT_EQ(ticker.TickerText, "CD");
    EXPECT_TRUE(skin.STATBMP.HandCursor);
    EXPECT_TRUE(ShowsLetterAt('C', 1));
    owner.error = "ERR";
    ticker.PastEnd = true;
    ticker.PauseActive = false;
    Ticks(1);
    EXPECT_EQ(ticker.NewsIndex, 2);
    EXPECT_EQ(ticker.TickerText, "ERR");
    EXPECT_FALSE(skin.STATBMP.HandCursor);
    ticker.PastEnd = true;
    ticker.PauseActive = false;
    Ticks(1);
    EXPECT_EQ(ticker.NewsIndex, 0);
}

TEST_F(TickerTest, MinScrollZeroNeverRefreshesNorMoves) {
    ticker.MinScroll = 0;
    owner.connected = true;
    ticker.NewsLines = {"AB"};
    ticker.TickerText = "AB";
    Ticks(5000);
    EXPECT_EQ(ticker.RefreshTicks, 0);
    EXPECT_EQ(ticker.ScrollOffset, 0);
    EXPECT_EQ(owner.drawings, 0);
    EXPECT_EQ(owner.newsReads, 0);
    ticker.DrawSkinText(TextImage::Status, "CHECKING");
    EXPECT_TRUE(ShowsLetterAt('C', 1));
}

TEST_F(TickerTest, RefreshesTheNewsEveryMinScrollMinutesWhileConnected) {
    ticker.MinScroll = 1;
    ticker.NewsLines = {"AB"};
    Ticks(2000);
    EXPECT_EQ(owner.newsReads, 0);
    EXPECT_EQ(ticker.RefreshTicks, 0);
    owner.connected = true;
    Ticks(1999);
    EXPECT_EQ(owner.newsReads, 0);
    const int offset = ticker.ScrollOffset;
    const int pause = ticker.PauseCount;
    Ticks(1);
    EXPECT_EQ(owner.newsReads, 1);
    EXPECT_EQ(ticker.RefreshTicks, 0);
    EXPECT_EQ(ticker.ScrollOffset, offset);  // the refresh tick does not step
    EXPECT_EQ(ticker.PauseCount, pause);
}

// The timer lets the ticks that only count pass as one event; what is drawn and refreshed, and
// when, stays as if every tick had its own event.
TEST_F(TickerTest, TheTimerRunsTheSameTicksInFewerEvents) {
    skin::MainWindowSkin stepSkin = skin;
    FakeOwner stepOwner;
    skintest::FakeTimerHost unused;
    std::string steppedStatus = "Disconnected";
    skin::TStatusTicker stepped{steppedStatus, stepSkin, stepOwner, pump, unused};
    for (skin::TStatusTicker* t : {&ticker, &stepped}) {
        t->SetSpeed(2);
        t->MinScroll = 1;
        t->NewsLines = {"AB", "CD###http://example.org"};
    }
    owner.connected = stepOwner.connected = true;
    ticker.StartTimers(true, false);
    int events = 0;
    for (int tick = 1; tick <= 30000; ++tick) {
        stepped.DoScroll();
        events += timers.Advance(5);
        if (tick % 7 == 0 || tick % 12000 == 0) {
            ASSERT_EQ(owner.drawings, stepOwner.drawings) << "tick " << tick;
            ASSERT_EQ(owner.newsReads, stepOwner.newsReads) << "tick " << tick;
            ASSERT_EQ(ticker.ScrollOffset, stepped.ScrollOffset) << "tick " << tick;
            ASSERT_EQ(ticker.TickerText, stepped.TickerText) << "tick " << tick;
        }
    }
    EXPECT_EQ(owner.newsReads, 2);
    EXPECT_GT(owner.drawings, 100);
    EXPECT_LT(events, 30000 / 2);
    // A click that pauses the ticker is followed at once.
    ticker.Pause(20);
    stepped.Pause(20);
    for (int tick = 0; tick < 700; ++tick) {
        stepped.DoScroll();
        timers.Advance(5);
    }
    EXPECT_EQ(owner.drawings, stepOwner.drawings);
}

TEST_F(TickerTest, LeftClickOpensTheCurrentItemsLink) {
    ticker.NewsLines = {"Plain", "News###http://example.org/x  "};
    ticker.PauseActive = false;
    ticker.PauseCount = 55;
    ticker.StatusMouseDown({.Left = true});
    EXPECT_TRUE(owner.links.empty());
    EXPECT_FALSE(ticker.PauseActive);
    ticker.NewsIndex = 1;
    ticker.StatusMouseDown({.Left = true, .Double = true});
    ticker.StatusMouseDown({.Left = true, .Shift = true});
    EXPECT_TRUE(owner.links.empty());
    ticker.StatusMouseDown({.Left = true});
    ASSERT_EQ(owner.links.size(), 1u);
    EXPECT_EQ(owner.links[0], "http://example.org/x");
    EXPECT_EQ(pump.calls, 1);
    EXPECT_TRUE(ticker.PauseActive);
    EXPECT_EQ(ticker.PauseCount, 0);
}

TEST_F(TickerTest, CtrlClickShowsTheHostLineAndKeepsTheStatusText) {
    ticker.StatusText = "Disconnected";
    ticker.ScrollOffset = 17;
    ticker.Clock = [] { return std::time_t{86400 * 365}; };
    ticker.StatusMouseDown({.Left = true, .Ctrl = true});
    std::time_t when = 86400 * 365;
    std::tm local{};
    localtime_r(&when, &local);
    char date[32];
    char time[32];
    std::strftime(date, sizeof date, "%x", &local);
    std::strftime(time, sizeof time, "%X", &local);
    const std::string line =
        platform::LocalHostName() + " " + platform::LocalHostAddress() + " " + date + " " + time;
    EXPECT_EQ(skin.STATBMP.Hint, line);
    EXPECT_EQ(skin.STATBMP.Shown.Width(), static_cast<int>(line.size()) * kW + 1);
    EXPECT_EQ(ticker.StatusText, "Disconnected");
    EXPECT_TRUE(ticker.PauseActive);
    EXPECT_EQ(ticker.PauseCount, 20);
    EXPECT_EQ(ticker.ScrollOffset, 17);
}

TEST_F(TickerTest, CountDrawingUsesTheCountFontAndLeavesPastEnd) {
    skin::WriteBmp(skintest::TaggedBitmap(10 * 3, 4, 5), dir.Folder() + "digits.bmp");
    skin.CountFontPath = dir.Folder() + "digits.bmp";
    skin.CountCellWidth = 3;
    skin.CountCellHeight = 4;
    ticker.PastEnd = true;
    ticker.DrawSkinText(TextImage::Count, "12");
    EXPECT_TRUE(ticker.PastEnd);
    EXPECT_EQ(skin.NBMSGBMP.Shown.Width(), 7);
    EXPECT_EQ(skin.NBMSGBMP.Shown.Image.At(1, 0), skintest::Tagged(3, 0, 5));
    EXPECT_EQ(skin.NBMSGBMP.Hint, "NB Messages");
}

TEST_F(TickerTest, StartTimersRunsTheTickerOnlyWhenItCanBeSeen) {
    ticker.StartTimers(false, false);
    EXPECT_FALSE(ticker.Scroll.Enabled());
    ticker.StartTimers(false, true);
    EXPECT_TRUE(ticker.Scroll.Enabled());
    ticker.StopTimers();
    EXPECT_FALSE(ticker.Scroll.Enabled());
    ticker.StartTimers(true, false);
    EXPECT_TRUE(ticker.Scroll.Enabled());
    ticker.StopTimers();
}

TEST(TickerItems, TextAndLinkOfANewsItem) {
    EXPECT_EQ(skin::ItemText("Hello###http://a.b/ "), "Hello");
    EXPECT_EQ(skin::ItemLink("Hello###http://a.b/ "), "http://a.b/");
    EXPECT_EQ(skin::ItemText("Hello###HTTP://a.b/"), "Hello###HTTP://a.b/");
    EXPECT_EQ(skin::ItemLink("Hello###HTTP://a.b/"), "");
}

}  // namespace
