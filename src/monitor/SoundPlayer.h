#pragma once
// The sound part of the main window's face: the new-mail sound.
#include <string>

namespace monitor {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Plays a sound file asynchronously; failures are the sink's to ignore.
    virtual void PlaySound(const std::string& file) = 0;
};

}  // namespace monitor
