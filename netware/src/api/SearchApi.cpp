// Filters and the search for objects below a base object.
#include "../ReplyEncoding.h"
#include "../SearchFilter.h"
#include "ApiSupport.h"
#include "nwnet.h"

using namespace nw;

namespace {

constexpr NWDSCCODE kNoMemory = ERR_NOT_ENOUGH_MEMORY;

void releaseCursor(pFilter_Cursor_T cur, NWDSFreeValFunc freeVal) {
    if (cur == nullptr) return;
    if (freeVal != nullptr)
        for (const auto& token : cur->tokens)
            if (token.callerValue != nullptr &&
                (token.token == FTOK_ANAME || token.token == FTOK_AVAL))
                freeVal(token.syntax, token.callerValue);
    delete cur;
}

// A cursor handed to the client, released when the call that took it returns.
struct CursorRelease {
    pFilter_Cursor_T cur;
    NWDSFreeValFunc freeVal;
    ~CursorRelease() { releaseCursor(cur, freeVal); }
};

struct SearchRequest {
    nuint32 infoType;
    bool allAttrs;
    std::vector<std::string> requested;
    nint32 countObjectsToSearch;
};

NWDSCCODE search(Client& client, const Context& context, const nstr8* baseObjectName, nint scope,
                 pBuf_T filterBuffer, SearchRequest request, pBuf_T attrNames,
                 nint32* iterationHandle, nint32* countObjectsSearched, pBuf_T objectInfo) {
    BufferImpl* reply = findBuffer(objectInfo);
    if (reply == nullptr || iterationHandle == nullptr) return ERR_NULL_POINTER;
    if (scope < DS_SEARCH_ENTRY || scope > DS_SEARCH_SUBTREE) return ERR_INVALID_REQUEST;
    if (request.infoType != DS_ATTRIBUTE_NAMES && request.infoType != DS_ATTRIBUTE_VALUES)
        return ERR_INVALID_REQUEST;
    SearchFilter filter;
    bool filtered = filterBuffer != nullptr;
    if (filtered) {
        BufferImpl* buffer = findBuffer(filterBuffer);
        if (buffer == nullptr) return ERR_NULL_POINTER;
        if (NWDSCCODE rc = readFilter(*buffer, &filter); rc != 0) return rc;
    }
    if (!request.allAttrs && attrNames != nullptr) {
        BufferImpl* names = findBuffer(attrNames);
        if (names == nullptr) return ERR_NULL_POINTER;
        if (NWDSCCODE rc = requestedNames(*names, &request.requested); rc != 0) return rc;
    }
    AbsoluteName base;
    if (NWDSCCODE rc = client.resolve(context, baseObjectName, &base); rc != 0) return rc;
    if (*iterationHandle < NO_MORE_ITERATIONS) return ERR_INVALID_ITERATION;
    SearchQuery query{&base,
                      scope,
                      filtered ? &filter : nullptr,
                      request.allAttrs,
                      std::move(request.requested),
                      request.countObjectsToSearch};
    ObjectReply out(*reply, BufferKind::SearchReply, request.infoType == DS_ATTRIBUTE_VALUES);
    nint32 examined = 0;
    NWDSCCODE rc = client.backend()->search(context, query, iterationHandle, out, &examined);
    out.finish();
    if (rc == 0 && countObjectsSearched != nullptr) *countObjectsSearched = examined;
    return rc;
}

}  // namespace

extern "C" {

NWDSCCODE NWDSAllocFilter(pFilter_Cursor_T* cur) {
    if (cur == nullptr) return ERR_NULL_POINTER;
    return guarded(kNoMemory, [&]() -> NWDSCCODE {
        *cur = new (std::nothrow) Filter_Cursor_T();
        return *cur == nullptr ? ERR_NOT_ENOUGH_MEMORY : 0;
    });
}

NWDSCCODE NWDSAddFilterToken(pFilter_Cursor_T cur, nuint16 tok, nptr val, nuint32 syntax) {
    if (cur == nullptr) return ERR_NULL_POINTER;
    return guarded(kNoMemory, [&] { return addFilterToken(*cur, tok, val, syntax); });
}

NWDSCCODE NWDSPutFilter(NWDSContextHandle context, pBuf_T buf, pFilter_Cursor_T cur,
                        NWDSFreeValFunc freeVal) {
    // The client takes the cursor over whatever happens, and releases it after the call.
    CursorRelease release{cur, freeVal};
    return withContext(context, [&](Client&, Context&) -> NWDSCCODE {
        BufferImpl* buffer = findBuffer(buf);
        if (buffer == nullptr || cur == nullptr) return ERR_NULL_POINTER;
        if (buffer->kind != BufferKind::FilterRequest) return ERR_BAD_VERB;
        return writeFilter(*cur, *buffer);
    });
}

void NWDSFreeFilter(pFilter_Cursor_T cur, NWDSFreeValFunc freeVal) {
    guarded([&] { releaseCursor(cur, freeVal); });
}

NWDSCCODE NWDSSearch(NWDSContextHandle context, const nstr8* baseObjectName, nint scope,
                     nbool8 /*searchAliases: the directory file has no aliases to follow*/,
                     pBuf_T filter, nuint32 infoType, nbool8 allAttrs, pBuf_T attrNames,
                     nint32* iterationHandle, nint32 countObjectsToSearch,
                     nint32* countObjectsSearched, pBuf_T objectInfo) {
    return withContext(context, [&](Client& client, Context& state) {
        return search(client, state, baseObjectName, scope, filter,
                      SearchRequest{infoType, allAttrs != 0, {}, countObjectsToSearch}, attrNames,
                      iterationHandle, countObjectsSearched, objectInfo);
    });
}

}  // extern "C"
