// Shared by the C entry points: no C++ exception may leave the libraries, and texts are
// handed out as zero-terminated copies.
#pragma once

#include <cstring>
#include <string_view>

#include "../Client.h"
#include "nwdserr.h"

namespace nw {

// Every entry point runs its body through one of these, so that no exception (only
// allocation failure is possible) crosses into C callers: it becomes `onError` instead.
template <class Body>
auto guarded(decltype(std::declval<Body>()()) onError, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return onError;
    }
}

// The same for entry points without a result: a failure has nothing to report.
template <class Body>
void guarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

// Runs `body(client)` under the client's lock.
template <class Result, class Body>
Result withClient(Result onError, Body&& body) noexcept {
    return guarded(onError, [&]() -> Result {
        auto& client = Client::process();
        auto lock = client.lock();
        return body(client);
    });
}

// Runs `body(client, context)` under the client's lock for a context the client knows;
// ERR_BAD_CONTEXT for any other handle.
template <class Body>
NWDSCCODE withContext(NWDSContextHandle handle, Body&& body) noexcept {
    return withClient(NWDSCCODE{ERR_NOT_ENOUGH_MEMORY}, [&](Client& client) -> NWDSCCODE {
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
