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
    : handle_(dlopen(fileName, RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) {
        error_ = LastError(std::string("cannot load ") + fileName);
    }
}

void* SharedLibrary::Symbol(const char* name) {
    if (handle_ == nullptr) {
        return nullptr;
    }
    dlerror();
    void* symbol = dlsym(handle_, name);
    if (symbol == nullptr) {
        error_ = LastError(std::string("no function ") + name);
    }
    return symbol;
}

}  // namespace platform
