#pragma once
// Helpers of the skin tests: pictures written with our BMP writer, a complete small skin
// folder, and window timers on a simulated clock.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Files.h"
#include "RecordingDialogs.h"
#include "RecordingExit.h"
#include "TempFolder.h"
#include "platform/WindowTimer.h"
#include "skin/Bitmap.h"

namespace skintest {

using testsupport::WriteFile;
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A pixel that tells its own coordinates: red x, green y, blue tag.
skin::Pixel Tagged(int x, int y, unsigned tag);
// A bitmap whose every pixel is Tagged(x, y, tag).
skin::Bitmap TaggedBitmap(int width, int height, unsigned tag);
// A bitmap of one colour.
skin::Bitmap Plain(int width, int height, skin::Pixel colour);

// A skin folder with every key and picture; Ini() lines can be replaced before Write().
class SkinFolder {
public:
    explicit SkinFolder(const std::string& folder);
    // The skin.ini lines, joined with CR LF by Write().
    std::vector<std::string> Lines;
    void Write(const std::string& lineEnd = "\r\n") const;
    // Replaces the first line that begins with prefix.
    void Replace(const std::string& prefix, const std::string& line);
    void Remove(const std::string& prefix);
    const std::string& Folder() const { return folder_; }

private:
    std::string folder_;
};

// Window timers on a simulated clock: Advance runs the ticks that fall due, in time order.
class FakeTimerHost final : public platform::TimerHost {
public:
    std::unique_ptr<platform::WindowTimer> CreateTimer(std::function<void()> tick) override;
    // Moves the clock on; returns how many timer events ran.
    int Advance(std::int64_t milliseconds);
    int RunningTimers() const;

    struct Slot {
        std::function<void()> tick;
        bool running = false;
        std::int64_t period = 0;
        std::int64_t due = 0;
    };

private:
    std::int64_t now_ = 0;
    std::vector<std::shared_ptr<Slot>> slots_;
};

}  // namespace skintest
