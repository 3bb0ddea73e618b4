#pragma once
// A library opened at run time by its file name, for services whose libraries are loaded at
// their first use rather than at start-up (the sound, the news download): libcurl and
// libcanberra with the libraries they pull in take longer to load than the rest of the
// program takes to show its window.
#include <string>

namespace platform {

class SharedLibrary {
public:
    // Opens the library of that file name (a soname such as "libcurl.so.4"). The library
    // stays loaded for the rest of the process: it may have started threads of its own.
    explicit SharedLibrary(const char* fileName);
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool Loaded() const { return m_handle != nullptr; }
    // Why the library or the last function asked for is missing; empty when nothing is.
    const std::string& Error() const { return m_error; }

    // The function of that name; null when it is missing (Error says which).
    template <class Function>
    Function Find(const char* name) {
        return reinterpret_cast<Function>(Symbol(name));
    }

private:
    void* Symbol(const char* name);

    void* m_handle = nullptr;
    std::string m_error;
};

}  // namespace platform
