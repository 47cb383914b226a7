// Shared by the C entry points: no C++ exception may leave the libraries, and texts are
// handed out as zero-terminated copies.
#pragma once

#include <cstring>
#include <string_view>

#include "../Client.h"
#include "nwdserr.h"

namespace nw {

// Runs an entry point's body; an exception (only allocation failure is possible) becomes
// `onError` instead of crossing into C callers.
template <class Body>
auto guarded(decltype(std::declval<Body>()()) onError, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return onError;
    }
}

// Runs `body(client, context)` under the client's lock for a context the client knows;
// ERR_BAD_CONTEXT for any other handle.
template <class Body>
NWDSCCODE withContext(NWDSContextHandle handle, Body&& body) noexcept {
    return guarded(ERR_NOT_ENOUGH_MEMORY, [&]() -> NWDSCCODE {
        auto& client = Client::process();
        auto lock = client.lock();
        Context* context = client.context(handle);
        if (context == nullptr) return ERR_BAD_CONTEXT;
        return body(client, *context);
    });
}

inline void copyText(char* destination, std::string_view text) {
    if (!text.empty()) std::memcpy(destination, text.data(), text.size());
    destination[text.size()] = '\0';
}

}  // namespace nw
