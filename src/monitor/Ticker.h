#pragma once
// The ticker fields of the main window that the check cycle and the news feed set.
#include <string>
#include <vector>

namespace monitor {

inline constexpr int kDefaultMaxChar = 128;

struct TickerState {
    std::string StatusText = "Disconnected";
    std::string TickerText;
    int ScrollOffset = 0;
    bool PastEnd = false;
    bool PauseActive = true;
    int PauseCount = 0;
    int RefreshTicks = 0;
    int NewsIndex = 0;
    std::vector<std::string> NewsLines;
    int MaxChar = kDefaultMaxChar;

    // A full pause, so that a text just drawn stays readable.
    void StartPause() {
        PauseActive = true;
        PauseCount = 0;
    }
};

}  // namespace monitor
