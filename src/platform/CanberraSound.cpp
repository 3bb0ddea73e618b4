#include "platform/LinuxDesktop.h"

#include <canberra.h>

namespace platform {

struct CanberraSound::Context {
    ca_context* handle = nullptr;
};

CanberraSound::CanberraSound() : context_(std::make_unique<Context>()) {
    // Without a sound server the context cannot be made; PlayFile then does nothing,
    // as a failed sound must never disturb the check.
    if (ca_context_create(&context_->handle) != CA_SUCCESS) {
        context_->handle = nullptr;
    }
}

CanberraSound::~CanberraSound() {
    if (context_->handle != nullptr) {
        ca_context_destroy(context_->handle);
    }
}

void CanberraSound::PlayFile(const std::string& path) {
    if (context_->handle == nullptr) {
        return;
    }
    const int played =
        ca_context_play(context_->handle, 0, CA_PROP_MEDIA_FILENAME, path.c_str(), nullptr);
    if (played != CA_SUCCESS) {
        // The file could not be played: the desktop's own new-mail sound stands in for it.
        ca_context_play(context_->handle, 0, CA_PROP_EVENT_ID, "message-new-email", nullptr);
    }
}

}  // namespace platform
