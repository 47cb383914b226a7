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

template <class Function>
bool lookUp(const platform::SharedLibrary& library, const char* name, Function*& entryPoint) {
    entryPoint = library.function<Function>(name);
    return entryPoint != nullptr;
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

#define KESTREL_BIND(library, name) lookUp(library, #name, bound.name)

bool ClientLibraries::bind(ClientEntryPoints& entryPoints) const {
    entryPoints = {};
    if (!calwin32_.isOpen() || !clxwin32_.isOpen() || !netwin32_.isOpen()) return false;
    ClientEntryPoints bound;
    // clang-format off
    bool complete = KESTREL_BIND(calwin32_, NWCallsInit) &&
                    KESTREL_BIND(calwin32_, NWLoginToFileServer) &&
                    KESTREL_BIND(calwin32_, NWLogoutFromFileServer) &&
                    KESTREL_BIND(calwin32_, NWParsePath) &&
                    KESTREL_BIND(calwin32_, NWGetActiveConnListByType) &&
                    KESTREL_BIND(calwin32_, NWGetConnectionInformation) &&
                    KESTREL_BIND(calwin32_, NWSendBroadcastMessage) &&
                    KESTREL_BIND(calwin32_, NWSendConsoleBroadcast) &&
                    KESTREL_BIND(netwin32_, NWDSCreateContextHandle) &&
                    KESTREL_BIND(netwin32_, NWDSGetContext) &&
                    KESTREL_BIND(netwin32_, NWDSSetContext) &&
                    KESTREL_BIND(netwin32_, NWDSFreeContext) &&
                    KESTREL_BIND(netwin32_, NWDSLogin) &&
                    KESTREL_BIND(netwin32_, NWDSLogout) &&
                    KESTREL_BIND(netwin32_, NWIsDSAuthenticated) &&
                    KESTREL_BIND(netwin32_, NWDSAllocBuf) &&
                    KESTREL_BIND(netwin32_, NWDSList) &&
                    KESTREL_BIND(netwin32_, NWDSGetObjectCount) &&
                    KESTREL_BIND(netwin32_, NWDSGetObjectName) &&
                    KESTREL_BIND(netwin32_, NWDSFreeBuf) &&
                    KESTREL_BIND(netwin32_, NWDSInitBuf) &&
                    KESTREL_BIND(netwin32_, NWDSRead) &&
                    KESTREL_BIND(netwin32_, NWDSGetAttrCount) &&
                    KESTREL_BIND(netwin32_, NWDSGetAttrName) &&
                    KESTREL_BIND(netwin32_, NWDSGetAttrVal) &&
                    KESTREL_BIND(netwin32_, NWDSDuplicateContextHandle) &&
                    KESTREL_BIND(netwin32_, NWDSPutAttrName) &&
                    KESTREL_BIND(clxwin32_, NWCCGetPrimConnRef) &&
                    KESTREL_BIND(clxwin32_, NWCCOpenConnByName) &&
                    KESTREL_BIND(clxwin32_, NWCCOpenConnByRef) &&
                    KESTREL_BIND(clxwin32_, NWCCCloseConn) &&
                    KESTREL_BIND(clxwin32_, NWCCGetConnRef) &&
                    KESTREL_BIND(clxwin32_, NWCCSysCloseConnRef) &&
                    KESTREL_BIND(clxwin32_, NWCCScanConnRefs) &&
                    KESTREL_BIND(clxwin32_, NWCCGetAllConnRefInfo) &&
                    KESTREL_BIND(netwin32_, NWDSCreateContext) &&
                    KESTREL_BIND(netwin32_, NWDSAllocFilter) &&
                    KESTREL_BIND(netwin32_, NWDSAddFilterToken) &&
                    KESTREL_BIND(netwin32_, NWDSPutFilter) &&
                    KESTREL_BIND(netwin32_, NWDSFreeFilter) &&
                    KESTREL_BIND(netwin32_, NWDSSearch) &&
                    KESTREL_BIND(netwin32_, NWDSScanForAvailableTrees) &&
                    KESTREL_BIND(netwin32_, NWDSAuthenticateConn) &&
                    KESTREL_BIND(netwin32_, NWDSCanDSAuthenticate) &&
                    KESTREL_BIND(netwin32_, NWDSWhoAmI) &&
                    KESTREL_BIND(netwin32_, NWDSComputeAttrValSize);
    // clang-format on
    if (complete) entryPoints = bound;
    return complete;
}

#undef KESTREL_BIND

}  // namespace kestrel::browser
