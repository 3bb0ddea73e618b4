#include <canberra.h>

#include "platform/LinuxDesktop.h"
#include "platform/SharedLibrary.h"

namespace platform {

namespace {

struct CanberraLibrary {
    decltype(&ca_context_create) ContextCreate;
    decltype(&ca_context_play) ContextPlay;
    decltype(&ca_context_destroy) ContextDestroy;
};

// Null when libcanberra cannot be loaded: the program then plays no sound at all.
const CanberraLibrary* Canberra() {
    static const CanberraLibrary* const api = []() -> const CanberraLibrary* {
        static SharedLibrary library("libcanberra.so.0");
        static CanberraLibrary functions{
            library.Find<decltype(&ca_context_create)>("ca_context_create"),
            library.Find<decltype(&ca_context_play)>("ca_context_play"),
            library.Find<decltype(&ca_context_destroy)>("ca_context_destroy")};
        const bool complete = functions.ContextCreate != nullptr &&
                              functions.ContextPlay != nullptr &&
                              functions.ContextDestroy != nullptr;
        return complete ? &functions : nullptr;
    }();
    return api;
}

}  // namespace

struct CanberraSound::Context {
    const CanberraLibrary* api = nullptr;
    ca_context* handle = nullptr;
    bool tried = false;
};

CanberraSound::CanberraSound() : context_(std::make_unique<Context>()) {}

CanberraSound::~CanberraSound() {
    if (context_->handle != nullptr) {
        context_->api->ContextDestroy(context_->handle);
    }
}

void CanberraSound::PlayFile(const std::string& path) {
    // The library and its context come with the first sound, not with the program's start.
    // Without them (no library, no sound server) PlayFile does nothing, as a failed sound
    // must never disturb the check.
    if (!context_->tried) {
        context_->tried = true;
        context_->api = Canberra();
        if (context_->api != nullptr &&
            context_->api->ContextCreate(&context_->handle) != CA_SUCCESS) {
            context_->handle = nullptr;
        }
    }
    if (context_->handle == nullptr) {
        return;
    }
    const CanberraLibrary& api = *context_->api;
    const int played =
        api.ContextPlay(context_->handle, 0, CA_PROP_MEDIA_FILENAME, path.c_str(), nullptr);
    if (played != CA_SUCCESS) {
        // The file could not be played: the desktop's own new-mail sound stands in for it.
        api.ContextPlay(context_->handle, 0, CA_PROP_EVENT_ID, "message-new-email", nullptr);
    }
}

}  // namespace platform
