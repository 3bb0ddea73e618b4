#include "skin/Ticker.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/LocalHost.h"
#include "settings/LineReader.h"
#include "skin/SkinShot.h"

namespace skin {

namespace {

constexpr TickerSpeed kSpeeds[] = {{30, 100, 2000}, {15, 200, 4000}, {5, 600, 12000}};
constexpr int kShortPause = 20;
constexpr int kPauseAfterItem = 30;

std::string FormatNow(std::time_t now, const char* format) {
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    const std::size_t n = std::strftime(text, sizeof text, format, &local);
    return std::string(text, n);
}

}  // namespace

std::string ItemText(const std::string& item) {
    const auto at = item.find(kLinkMarker);
    return at == std::string::npos ? item : item.substr(0, at);
}

std::string ItemLink(const std::string& item) {
    const auto at = item.find(kLinkMarker);
    return at == std::string::npos ? std::string() : settings::TrimBlanks(item.substr(at + 3));
}

TStatusTicker::TStatusTicker(std::string& statusText, MainWindowSkin& skin, TickerOwner& owner,
                             platform::EventPump& pump, platform::TimerHost& timers)
    : StatusText(statusText), Scroll(timers), m_skin(skin), m_owner(owner), m_pump(pump) {
    Scroll.OnTimer = [this] { OnScrollTimer(); };
}

void TStatusTicker::OnScrollTimer() {
    for (std::uint32_t tick = Scroll.TickSpan(); tick > 0; --tick) {
        DoScroll();
    }
    const int quiet = QuietTicks();
    Scroll.SetTickSpan(static_cast<std::uint32_t>(quiet) + 1);
}

int TStatusTicker::QuietTicks() const {
    if (MinScroll == 0) {
        // RefreshTicks stays 0, so no tick draws; a minute's ticks at a time still lets a
        // changed setting take effect soon.
        return m_speed.MinuteTicks;
    }
    long long toRefresh = INT_MAX;
    const long long due = static_cast<long long>(MinScroll) * m_speed.MinuteTicks;
    // The tick that reaches `due` refreshes; past it (a smaller setting) none ever will.
    if (RefreshTicks < INT_MAX && RefreshTicks < due) {
        toRefresh = due - RefreshTicks - 1;
    }
    long long toDraw = 0;
    if (PauseActive) {
        // The tick that brings PauseCount to the pause length ends the pause and draws; a
        // count already past it never gets there.
        if (PauseCount < m_speed.PauseLength) {
            toDraw = m_speed.PauseLength - PauseCount - 1;
        } else if (PauseCount > m_speed.PauseLength) {
            toDraw = INT_MAX;
        }
    }
    return static_cast<int>(std::min({toRefresh, toDraw, static_cast<long long>(INT_MAX)}));
}

void TStatusTicker::SetSpeed(int speed) {
    // Another value (a hand-edited file) changes nothing: a pause length of 0 would never end
    // the pause after an item (which starts at 30 ticks), and 0 ticks a minute no refresh.
    if (speed >= 0 && speed < static_cast<int>(std::size(kSpeeds))) {
        m_speed = kSpeeds[speed];
        Scroll.SetInterval(m_speed.Interval);
    }
}

void TStatusTicker::DoScroll() {
    if (MinScroll != 0) {
        // Saturates where a hand-edited setting makes the refresh unreachable.
        if (RefreshTicks < INT_MAX) {
            ++RefreshTicks;
        }
        if (static_cast<long long>(RefreshTicks) ==
            static_cast<long long>(MinScroll) * m_speed.MinuteTicks) {
            RefreshTicks = 0;
            if (m_owner.IsConnected()) {
                m_owner.LitVrNews();
            }
        }
    }
    if (RefreshTicks == 0) {
        return;
    }
    if (PauseActive) {
        if (PauseCount + 1 <= m_speed.PauseLength) {
            ++PauseCount;
        }
        PauseActive = PauseCount != m_speed.PauseLength;
    }
    if (!PauseActive) {
        ++ScrollOffset;
        if (PastEnd) {
            NextItem();
        }
        DrawSkinText(TextImage::Status, TickerText, ScrollOffset);
    }
}

void TStatusTicker::NextItem() {
    if (NewsIndex + 1 >= static_cast<int>(NewsLines.size())) {
        NewsIndex = 0;
    } else {
        ++NewsIndex;
    }
    const std::string error = m_owner.ErrorNotice();
    if (!error.empty()) {
        TickerText = error;
    } else if (!NewsLines.empty()) {
        TickerText = NewsLines[static_cast<std::size_t>(NewsIndex)];
    } else {
        TickerText.clear();
    }
    ScrollOffset = 0;
    m_skin.STATBMP.HandCursor = TickerText.find(kLinkMarker) != std::string::npos;
    TickerText = ItemText(TickerText);
    PauseActive = true;
    PauseCount = kPauseAfterItem;
}

bool TStatusTicker::DrawSkinText(TextImage image, std::string_view text, int offset) {
    if (image == TextImage::Status) {
        m_skin.STATBMP.Hint = StatusText;
    }
    const bool pastEnd = DrawSkinImageText(m_skin, m_fonts, image, text, offset);
    if (image == TextImage::Status) {
        PastEnd = pastEnd;
    }
    m_owner.TextImageChanged(image);
    return pastEnd;
}

void TStatusTicker::Pause(int count) {
    PauseActive = true;
    PauseCount = count;
    Scroll.SetTickSpan(1);
}

void TStatusTicker::StatusMouseDown(const ShiftState& shift) {
    if (shift.LeftAlone()) {
        if (NewsIndex < 0 || NewsIndex >= static_cast<int>(NewsLines.size())) {
            return;
        }
        const std::string& item = NewsLines[static_cast<std::size_t>(NewsIndex)];
        if (item.find(kLinkMarker) == std::string::npos) {
            return;
        }
        m_owner.OpenLink(ItemLink(item));
        m_pump.ProcessMessages();
        Pause(0);
    } else if (shift.CtrlLeft()) {
        Pause(kShortPause);
        const std::string kept = StatusText;
        StatusText = HostLine();
        DrawSkinText(TextImage::Status, StatusText, 0);
        StatusText = kept;
    }
}

std::string TStatusTicker::HostLine() const {
    const std::time_t now = Clock();
    return platform::LocalHostName() + " " + platform::LocalHostAddress() + " " +
           FormatNow(now, "%x") + " " + FormatNow(now, "%X");
}

void TStatusTicker::StopTimers() {
    Scroll.SetEnabled(false);
}

void TStatusTicker::StartTimers(bool windowVisible, bool firstPaintPending) {
    if (windowVisible || firstPaintPending) {
        Scroll.SetEnabled(true);
    }
}

}  // namespace skin
