#include "ClientLibraries.h"

#include <dlfcn.h>

#include "platform/Places.h"

namespace kestrel::browser {

namespace {

// The client keeps its contexts and connections per process; a library must stay mapped
// when one layer instance replaces another, so it is never unmapped (RTLD_NODELETE).
platform::SharedLibrary openAt(const std::string& path) {
    auto library = platform::SharedLibrary::open(path, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    return library ? std::move(*library) : platform::SharedLibrary();
}

// A bare name is looked for first in the library folder beside the program's own folder
// (bin/ and lib/ of one installation), as Windows looks in the program's directory first;
// then where the system looks.
platform::SharedLibrary openLibrary(const std::string& name) {
    if (name.find('/') == std::string::npos) {
        auto besideProgram = platform::programDirectory().parent_path() / "lib" / name;
        if (auto library = openAt(besideProgram.string()); library.isOpen()) return library;
    }
    return openAt(name);
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
    if (calwin32_.isOpen() && clxwin32_.isOpen() && netwin32_.isOpen()) return true;
    unload();
    return false;
}

void ClientLibraries::unload() {
    calwin32_ = {};
    clxwin32_ = {};
    netwin32_ = {};
}

platform::Expected<nw::kit::ClientCalls, nw::kit::BindError> ClientLibraries::bind() const {
    using nw::kit::ClientLibrary;
    auto lookUp = [this](ClientLibrary library, const char* name) -> void* {
        const platform::SharedLibrary& opened = library == ClientLibrary::Calwin32   ? calwin32_
                                                : library == ClientLibrary::Clxwin32 ? clxwin32_
                                                                                     : netwin32_;
        // A library that is not open has no symbols (it never searches the whole process).
        auto address = opened.symbol(name);
        return address ? *address : nullptr;
    };
    return nw::kit::bindByName(
        {ClientLibrary::Calwin32, ClientLibrary::Clxwin32, ClientLibrary::Netwin32}, lookUp);
}

}  // namespace kestrel::browser
