#include "platform/SharedLibrary.h"

#include <dlfcn.h>

namespace platform {

namespace {

std::string LastError(const std::string& fallback) {
    const char* text = dlerror();
    return text != nullptr ? std::string(text) : fallback;
}

}  // namespace

SharedLibrary::SharedLibrary(const char* fileName)
    : m_handle(dlopen(fileName, RTLD_NOW | RTLD_LOCAL)) {
    if (m_handle == nullptr) {
        m_error = LastError(std::string("cannot load ") + fileName);
    }
}

void* SharedLibrary::Symbol(const char* name) {
    if (m_handle == nullptr) {
        return nullptr;
    }
    dlerror();
    void* symbol = dlsym(m_handle, name);
    if (symbol == nullptr) {
        m_error = LastError(std::string("no function ") + name);
    }
    return symbol;
}

}  // namespace platform
