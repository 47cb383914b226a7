#include "directory/ClientLibraries.h"

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

}  // namespace

// A bare name is looked for first in the library folders beside the program's own folder, as
// Windows looks in the program's directory first: lib/kestrel/ of an installation, lib/ of
// the build tree. Then where the system looks. The folders are named by full path because a
// sanitizer's dlopen does not honour the program's run path.
platform::SharedLibrary ClientLibraries::open(const std::string& name) const {
    if (name.find('/') == std::string::npos) {
        const std::filesystem::path root = programDirectory_.parent_path();
        for (const auto& folder : {root / "lib" / "kestrel", root / "lib"}) {
            if (auto library = openAt((folder / name).string()); library.isOpen()) return library;
        }
    }
    return openAt(name);
}

ClientLibraries::~ClientLibraries() {
    unload();
}

bool ClientLibraries::load(const ClientLibraryNames& names) {
    unload();
    calwin32_ = open(names.calwin32);
    clxwin32_ = open(names.clxwin32);
    netwin32_ = open(names.netwin32);
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
