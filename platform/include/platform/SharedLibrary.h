#pragma once

#include <string>
#include <utility>

#include "platform/Expected.h"

namespace kestrel::platform {

// A shared library opened with dlopen and closed with dlclose when the object goes.
class SharedLibrary {
  public:
    // `file` is a bare name (the dynamic linker's search order) or a path; `flags` are
    // dlopen's (RTLD_NOW, RTLD_LOCAL, RTLD_NODELETE...). The error is dlerror's text.
    static Expected<SharedLibrary, std::string> open(const std::string& file, int flags);

    SharedLibrary() = default;  // holds no library
    ~SharedLibrary();
    SharedLibrary(SharedLibrary&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)) {}
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool isOpen() const { return handle_ != nullptr; }

    // The address of an exported symbol; the error is dlerror's text. Never searches other
    // libraries: a closed library has no symbols.
    Expected<void*, std::string> symbol(const char* name) const;
    template <typename Function>
    Function* function(const char* name) const {
        auto address = symbol(name);
        return address ? reinterpret_cast<Function*>(*address) : nullptr;
    }

    // Leaves the library loaded until the process ends: it is no longer closed.
    void keepLoaded() { handle_ = nullptr; }

  private:
    explicit SharedLibrary(void* handle) : handle_(handle) {}

    void* handle_ = nullptr;
};

}  // namespace kestrel::platform
