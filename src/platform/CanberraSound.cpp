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

CanberraSound::CanberraSound() : m_context(std::make_unique<Context>()) {}

CanberraSound::~CanberraSound() {
    if (m_context->handle != nullptr) {
        m_context->api->ContextDestroy(m_context->handle);
    }
}

void CanberraSound::PlayFile(const std::string& path) {
    // The library and its context come with the first sound, not with the program's start.
    // Without them (no library, no sound server) PlayFile does nothing, as a failed sound
    // must never disturb the check.
    if (!m_context->tried) {
        m_context->tried = true;
        m_context->api = Canberra();
        if (m_context->api != nullptr &&
            m_context->api->ContextCreate(&m_context->handle) != CA_SUCCESS) {
            m_context->handle = nullptr;
        }
    }
    if (m_context->handle == nullptr) {
        return;
    }
    const CanberraLibrary& api = *m_context->api;
    const int played =
        api.ContextPlay(m_context->handle, 0, CA_PROP_MEDIA_FILENAME, path.c_str(), nullptr);
    if (played != CA_SUCCESS) {
        // The file could not be played: the desktop's own new-mail sound stands in for it.
        api.ContextPlay(m_context->handle, 0, CA_PROP_EVENT_ID, "message-new-email", nullptr);
    }
}

}  // namespace platform
