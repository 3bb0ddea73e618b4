#pragma once
// Helpers of the skin tests: temporary folders, pictures written with our BMP writer, a
// complete small skin folder, and a window thread for synchronised calls.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "skin/Bitmap.h"

namespace skintest {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder, ending in "/".
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& content);
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

struct RecordingDialogs : platform::Dialogs, platform::ExitRequest {
    std::vector<std::string> Messages;
    int ExitRequests = 0;
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    void RequestExit() override { ++ExitRequests; }
};

// Runs synchronised calls when the test thread asks for them, as a window thread would.
class TestWindowThread final : public platform::Synchronizer {
public:
    void Synchronize(const std::function<void()>& call) override;
    // Runs the calls that arrive within the time; returns how many ran.
    int RunFor(int milliseconds);
    // Waits until a call is waiting (without running it); false after the time-out.
    bool WaitForPending(int milliseconds);
    int Pending();

private:
    struct Job {
        std::function<void()> call;
        bool done = false;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job*> queue_;
};

}  // namespace skintest
