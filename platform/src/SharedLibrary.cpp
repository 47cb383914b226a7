#include "platform/SharedLibrary.h"

#include <dlfcn.h>

namespace kestrel::platform {

namespace {

std::string lastError(std::string fallback) {
    const char* why = ::dlerror();
    return why != nullptr ? why : fallback;
}

}  // namespace

Expected<SharedLibrary, std::string> SharedLibrary::open(const std::string& file, int flags) {
    ::dlerror();  // a stale error must not be taken for this one
    void* handle = ::dlopen(file.c_str(), flags);
    if (handle == nullptr) return unexpected(lastError("cannot open " + file));
    return SharedLibrary(handle);
}

SharedLibrary::~SharedLibrary() {
    if (handle_ != nullptr) ::dlclose(handle_);
}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        if (handle_ != nullptr) ::dlclose(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

Expected<void*, std::string> SharedLibrary::symbol(const char* name) const {
    if (handle_ == nullptr) return unexpected(std::string("no library is open"));
    ::dlerror();
    void* address = ::dlsym(handle_, name);
    if (address == nullptr) return unexpected(lastError(name));
    return address;
}

}  // namespace kestrel::platform
