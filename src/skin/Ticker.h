#pragma once
// The status ticker of the main window: its state, the step DoScroll run by the timer Scroll,
// the text drawings into STATBMP and NBMSGBMP, and the mouse actions on the status line.
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/EventPump.h"
#include "platform/WindowTimer.h"
#include "skin/MainSurface.h"
#include "skin/SkinModel.h"
#include "skin/SkinText.h"
#include "skin/ThdTimer.h"

namespace skin {

// What the ticker needs from the main window that holds it.
class TickerOwner {
public:
    virtual ~TickerOwner() = default;
    virtual bool IsConnected() const = 0;
    // The last error text of a check or dial-up; empty when there is none.
    virtual std::string ErrorNotice() const = 0;
    // Reads the news again (the periodic refresh while connected).
    virtual void LitVrNews() = 0;
    // Opens a web address with the shell's "open" action.
    virtual void OpenLink(const std::string& url) = 0;
    // STATBMP or NBMSGBMP has a new picture.
    virtual void TextImageChanged(TextImage) {}
};

// One row of the speed table (settings key "speed").
struct TickerSpeed {
    std::uint16_t Interval;  // milliseconds
    int PauseLength;         // ticks
    int MinuteTicks;         // ticks counted as one minute of the news refresh
};

// The marker of a news item's link, recognised only in this exact form.
inline constexpr std::string_view kLinkMarker = "###http";

// The item as the ticker shows it: cut before "###" when it carries a link.
std::string ItemText(const std::string& item);
// The item's link (from the "http" after "###", trimmed); empty without one.
std::string ItemLink(const std::string& item);

class TStatusTicker {
public:
    // statusText is the owner's: the status line's text between events, which the other
    // windows read as well.
    TStatusTicker(std::string& statusText, MainWindowSkin& skin, TickerOwner& owner,
                  platform::EventPump& pump, platform::TimerHost& timers);

    std::string& StatusText;
    std::string TickerText;
    int ScrollOffset = 0;
    bool PastEnd = false;
    bool PauseActive = true;
    int PauseCount = 0;
    int RefreshTicks = 0;
    int NewsIndex = 0;
    std::vector<std::string> NewsLines;
    int MinScroll = 20;  // settings "min_scroll": minutes between news refreshes, 0 never

    // Disabled until StartTimers. Each timer event runs DoScroll once for every interval of
    // its span; the span covers the coming ticks that draw nothing and call nobody.
    TThreadedTimer Scroll;

    // Applies the speed table: 0 slow, 1 normal, 2 fast. Another value leaves the interval,
    // the pause length and the minute as they are.
    void SetSpeed(int speed);
    int PauseLength() const { return m_speed.PauseLength; }
    int MinuteTicks() const { return m_speed.MinuteTicks; }

    // One ticker step.
    void DoScroll();
    // How many of the coming ticks only count (no drawing, no call to the owner): the rest
    // of a pause and the wait for the news refresh; INT_MAX when no tick will draw again.
    int QuietTicks() const;

    // Draws text into STATBMP (hint StatusText, the status font, shifted left by offset) or
    // into NBMSGBMP (the count font), with the cell sizes and fonts of the current skin.
    // A drawing of the status line sets PastEnd; the result is that value.
    bool DrawSkinText(TextImage image, std::string_view text, int offset = 0);

    // A full pause (PauseCount 0) or a shorter one (PauseCount 20).
    void Pause(int count = 0);

    // Mouse-down on STATBMP.
    void StatusMouseDown(const ShiftState& shift);

    // The ticker's share of StopTimers and StartTimers: Scroll runs while the window is
    // visible, or while it is hidden but has not had its first paint yet (start hidden).
    void StopTimers();
    void StartTimers(bool windowVisible, bool firstPaintPending);

    // The clock of the host line; the real time unless a test sets it.
    std::function<std::time_t()> Clock = [] { return std::time(nullptr); };

private:
    void OnScrollTimer();
    void NextItem();
    std::string HostLine() const;

    MainWindowSkin& m_skin;
    TickerOwner& m_owner;
    platform::EventPump& m_pump;
    FontCache m_fonts;
    TickerSpeed m_speed{30, 100, 2000};
};

}  // namespace skin
