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

// The candidates of a search in directory order: position i of the scan is object i for a
// subtree, the i-th child for the subordinates, the base itself for the entry scope. A
// subtree search whose filter requires a class or a part of the name walks only the objects
// the indexes give for it.
struct Scan {
    const Tree& tree;
    int base;
    nint scope;
    std::optional<NumberArray> candidates;
    std::string namedLike;  // the candidates by name, when they came from the name index

    std::size_t size() const {
        if (scope == DS_SEARCH_ENTRY) return 1;
        if (scope == DS_SEARCH_SUBORDINATES) return tree.children(base).size();
        return tree.size();
    }
    // The first position from `position` on that may hold a candidate.
    std::size_t skip(std::size_t position) const {
        if (!candidates) return position;
        std::size_t at = candidates->lowerBound(static_cast<std::uint32_t>(position));
        return at == candidates->size() ? size() : (*candidates)[at];
    }
    // The object at a position, or kRootIndex when that position is not a candidate.
    int at(std::size_t position) const {
        if (scope == DS_SEARCH_ENTRY) return base;
        if (scope == DS_SEARCH_SUBORDINATES) return static_cast<int>(tree.children(base)[position]);
        int index = static_cast<int>(position);
        return tree.isWithin(index, base) ? index : kRootIndex;
    }
};

// Candidates from the indexes: the name index when the filter requires a part of the name
// that lies within one component (so that the component holds it), else the class.
void narrow(Scan& scan, const SearchFilter& filter) {
    if (auto part = filter.namePart(); part && part->find('.') == std::string::npos) {
        for (std::uint32_t index : scan.tree.namedLike(asciiLower(*part)))
            appendNumber(scan.namedLike, index);
        scan.candidates = NumberArray(scan.namedLike);
    } else if (auto posting = filter.classPosting()) {
        scan.candidates = scan.tree.withPosting(*posting);
    }
}

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
    Located base;
    if (NWDSCCODE rc = client.locate(context, baseObjectName, &base); rc != 0) return rc;
    Scan scan{*base.tree, base.index, scope, std::nullopt, {}};
    if (filtered && scope == DS_SEARCH_SUBTREE) narrow(scan, filter);
    std::size_t next =
        *iterationHandle == NO_MORE_ITERATIONS ? 0 : static_cast<std::size_t>(*iterationHandle);
    if (*iterationHandle < NO_MORE_ITERATIONS || next > scan.size()) return ERR_INVALID_ITERATION;

    resetBuffer(*reply, BufferKind::SearchReply);
    BufferWriter out(*reply);
    if (out.room() < BufferWriter::numberSize()) return ERR_INSUFFICIENT_BUFFER;
    out.putNumber(0);
    bool withValues = request.infoType == DS_ATTRIBUTE_VALUES;
    std::uint32_t count = 0;
    nint32 examined = 0;
    bool filterNeedsName = filtered && filter.needsName();
    for (; (next = scan.skip(next)) < scan.size(); ++next) {
        if (request.countObjectsToSearch > 0 && examined >= request.countObjectsToSearch) break;
        int index = scan.at(next);
        if (index == kRootIndex) continue;
        ObjectView object = base.tree->object(index);
        ++examined;
        // Names are made for the filter only when it looks at them, else for the matches.
        std::string name;
        if (filterNeedsName) name = client.outputName(context, *base.tree, index);
        if (filtered && !filter.matches(object, name)) continue;
        if (!filterNeedsName) name = client.outputName(context, *base.tree, index);
        auto entry = describeObject(*base.tree, index, std::move(name));
        auto attributes = request.allAttrs || !request.requested.empty()
                              ? selectAttributes(object, request.allAttrs, request.requested)
                              : std::vector<AttributeView>{};
        std::size_t size = objectHeaderSize(entry);
        for (const AttributeView& attr : attributes)
            size += attributeSize(attr, attr.wireValues(), withValues);
        if (size > out.room()) {
            if (count == 0) return ERR_INSUFFICIENT_BUFFER;
            break;
        }
        putObjectHeader(out, entry, static_cast<std::uint32_t>(attributes.size()));
        for (const AttributeView& attr : attributes)
            putAttribute(out, attr, attr.valueCount(), attr.wireValues(), withValues);
        ++count;
    }
    out.patchNumber(0, count);
    if (countObjectsSearched != nullptr) *countObjectsSearched = examined;
    *iterationHandle = next == scan.size() ? NO_MORE_ITERATIONS : static_cast<nint32>(next);
    return 0;
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
