#include "ClientLibraries.h"

#include <dlfcn.h>

#include "platform/Places.h"

namespace kestrel::browser {

namespace {

// The client keeps its contexts and connections per process; a library must stay mapped
// when one layer instance replaces another, so it is never unmapped.
void* openAt(const std::string& path) {
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
}

// A bare name is looked for first in the library folder beside the program's own folder
// (bin/ and lib/ of one installation), as Windows looks in the program's directory first;
// then where the system looks.
void* openLibrary(const std::string& name) {
    if (name.find('/') == std::string::npos) {
        auto besideProgram = platform::programDirectory().parent_path() / "lib" / name;
        if (void* library = openAt(besideProgram.string())) return library;
    }
    return openAt(name);
}

void closeLibrary(void*& library) {
    if (library != nullptr) dlclose(library);
    library = nullptr;
}

}  // namespace

ClientLibraries::~ClientLibraries() {
    unload();
}

bool ClientLibraries::load(const ClientLibraryNames& names) {
    unload();
    calwin32_ = openLibrary(names.calwin32);
    clxwin32_ = openLibrary(names.clxwin32);
    netwin32_ = openLibrary(names.netwin32);
    if (calwin32_ != nullptr && clxwin32_ != nullptr && netwin32_ != nullptr) return true;
    unload();
    return false;
}

void ClientLibraries::unload() {
    closeLibrary(calwin32_);
    closeLibrary(clxwin32_);
    closeLibrary(netwin32_);
}

platform::Expected<nw::kit::ClientCalls, nw::kit::BindError> ClientLibraries::bind() const {
    using nw::kit::ClientLibrary;
    auto lookUp = [this](ClientLibrary library, const char* name) -> void* {
        void* handle = library == ClientLibrary::Calwin32   ? calwin32_
                       : library == ClientLibrary::Clxwin32 ? clxwin32_
                                                            : netwin32_;
        // dlsym on a null handle would search the whole process instead of the client.
        return handle == nullptr ? nullptr : dlsym(handle, name);
    };
    return nw::kit::bindByName(
        {ClientLibrary::Calwin32, ClientLibrary::Clxwin32, ClientLibrary::Netwin32}, lookUp);
}

}  // namespace kestrel::browser
