#include "nwkit/LibraryBinding.h"

#include <algorithm>
#include <optional>
#include <type_traits>

namespace nw::kit {

std::string BindError::describe() const {
    return std::string(libraryName(library)) + " has no " + entryPoint;
}

const char* libraryName(ClientLibrary library) {
    switch (library) {
        case ClientLibrary::Calwin32:
            return "calwin32";
        case ClientLibrary::Clxwin32:
            return "clxwin32";
        case ClientLibrary::Locwin32:
            return "locwin32";
        case ClientLibrary::Netwin32:
            return "netwin32";
    }
    return "";
}

kestrel::platform::Expected<ClientCalls, BindError> bindByName(
    std::initializer_list<ClientLibrary> libraries, const SymbolLookup& lookUp) {
    ClientCalls calls;
    std::optional<BindError> missing;
    auto bind = [&](ClientLibrary library, const char* name, auto& entryPoint) {
        if (missing || std::find(libraries.begin(), libraries.end(), library) == libraries.end())
            return;
        void* symbol = lookUp(library, name);
        if (symbol == nullptr) missing = BindError{library, name};
        entryPoint = reinterpret_cast<std::remove_reference_t<decltype(entryPoint)>>(symbol);
    };
#define NWKIT_BIND_ENTRY_POINT(library, name) bind(ClientLibrary::library, #name, calls.name);
    NWKIT_ENTRY_POINTS(NWKIT_BIND_ENTRY_POINT)
#undef NWKIT_BIND_ENTRY_POINT
    if (missing) return kestrel::platform::unexpected(std::move(*missing));
    return calls;
}

}  // namespace nw::kit
