// Directory contexts: creation, duplication, the context keys.
#include "../DirectoryName.h"
#include "ApiSupport.h"
#include "nwnet.h"

using namespace nw;

namespace {

constexpr std::size_t kMaxContexts = 4096;  // a leaking caller cannot exhaust the process

NWDSCCODE setNameContext(Context& context, const char* text) {
    NameError error{};
    auto parsed = parseName(text, &error);
    if (!parsed) return error == NameError::TooLong ? ERR_DN_TOO_LONG : ERR_INVALID_DS_NAME;
    // A name context is always a full name; the leading full stop is optional.
    parsed->absolute = true;
    if (parsed->levelsUp != 0) return ERR_INVALID_DS_NAME;
    auto resolved = resolveName(*parsed, AbsoluteName{}, false, Typing::Container);
    if (!resolved) return ERR_INVALID_DS_NAME;
    context.nameContext = std::move(*resolved);
    return 0;
}

NWDSCCODE newContext(Client& client, NWDSContextHandle* handle) {
    if (client.contextCount() >= kMaxContexts) return ERR_CONTEXT_CREATION;
    *handle = client.createContext();
    return 0;
}

std::uint32_t* numberKey(Context& context, nint key) {
    switch (key) {
        case DCK_FLAGS:
            return &context.flags;
        case DCK_CONFIDENCE:
            return &context.confidence;
        case DCK_TRANSPORT_TYPE:
            return &context.transportType;
        case DCK_REFERRAL_SCOPE:
            return &context.referralScope;
        case DCK_LAST_CONNECTION:
            return &context.lastConnection;
        case DCK_DSI_FLAGS:
            return &context.dsiFlags;
        case DCK_NAME_FORM:
            return &context.nameForm;
        default:
            return nullptr;
    }
}

}  // namespace

extern "C" {

NWDSCCODE NWDSCreateContextHandle(NWDSContextHandle* newHandle) {
    if (newHandle == nullptr) return ERR_NULL_POINTER;
    return withClient(NWDSCCODE{ERR_NOT_ENOUGH_MEMORY},
                      [&](Client& client) { return newContext(client, newHandle); });
}

NWDSContextHandle NWDSCreateContext(void) {
    return withClient(NWDSContextHandle{ERR_CONTEXT_CREATION}, [](Client& client) {
        NWDSContextHandle handle = 0;
        return newContext(client, &handle) == 0 ? handle : ERR_CONTEXT_CREATION;
    });
}

NWDSCCODE NWDSDuplicateContextHandle(NWDSContextHandle srcContext, NWDSContextHandle* destContext) {
    if (destContext == nullptr) return ERR_NULL_POINTER;
    return withContext(srcContext, [&](Client& client, Context& source) -> NWDSCCODE {
        if (client.contextCount() >= kMaxContexts) return ERR_CONTEXT_CREATION;
        *destContext = client.duplicateContext(source);
        return 0;
    });
}

NWDSCCODE NWDSFreeContext(NWDSContextHandle context) {
    return withClient(NWDSCCODE{ERR_NOT_ENOUGH_MEMORY}, [&](Client& client) -> NWDSCCODE {
        return client.freeContext(context) ? 0 : ERR_BAD_CONTEXT;
    });
}

NWDSCCODE NWDSGetContext(NWDSContextHandle handle, nint key, nptr value) {
    if (value == nullptr) return ERR_NULL_POINTER;
    return withContext(handle, [&](Client& client, Context& context) -> NWDSCCODE {
        if (key == DCK_NAME_CONTEXT) {
            copyText(static_cast<char*>(value),
                     client.fullName(context, context.nameContext.text()));
        } else if (key == DCK_TREE_NAME) {
            copyText(static_cast<char*>(value), context.tree);
        } else if (std::uint32_t* number = numberKey(context, key)) {
            std::memcpy(value, number, sizeof *number);
        } else {
            return ERR_BAD_KEY;
        }
        return 0;
    });
}

NWDSCCODE NWDSSetContext(NWDSContextHandle handle, nint key, const void* value) {
    if (value == nullptr) return ERR_NULL_POINTER;
    return withContext(handle, [&](Client&, Context& context) -> NWDSCCODE {
        if (key == DCK_NAME_CONTEXT)
            return setNameContext(context, static_cast<const char*>(value));
        if (key == DCK_TREE_NAME) {
            std::string_view tree = static_cast<const char*>(value);
            if (utf8Length(tree) > MAX_TREE_NAME_CHARS) return ERR_INVALID_DS_NAME;
            context.tree = std::string(tree);
            return 0;
        }
        std::uint32_t* number = numberKey(context, key);
        if (number == nullptr) return ERR_BAD_KEY;
        std::memcpy(number, value, sizeof *number);
        return 0;
    });
}

}  // extern "C"
