// Listing the subordinates of a container and reading the attributes of an object.
#include "../ReplyEncoding.h"
#include "ApiSupport.h"
#include "nwnet.h"

using namespace nw;

namespace {

// A read continues at an attribute (upper 15 bits) and a value of it (lower 16 bits).
constexpr nint32 readPosition(std::size_t attribute, std::size_t value) {
    return static_cast<nint32>((attribute << 16) | value);
}

// The reply buffer a list or read fills, once the iteration handle is known to be valid.
NWDSCCODE replyOf(pBuf_T replyBuffer, const nint32* iterationHandle, BufferImpl** reply) {
    *reply = findBuffer(replyBuffer);
    if (*reply == nullptr || iterationHandle == nullptr) return ERR_NULL_POINTER;
    if (*iterationHandle < NO_MORE_ITERATIONS) return ERR_INVALID_ITERATION;
    return 0;
}

NWDSCCODE list(Client& client, const Context& context, const nstr8* object, nint32* iterationHandle,
               pBuf_T subordinates) {
    BufferImpl* reply = nullptr;
    if (NWDSCCODE rc = replyOf(subordinates, iterationHandle, &reply); rc != 0) return rc;
    AbsoluteName container;
    if (NWDSCCODE rc = client.resolve(context, object, &container); rc != 0) return rc;
    ObjectReply out(*reply, BufferKind::ListReply, false);
    NWDSCCODE rc = client.backend()->list(context, container, iterationHandle, out);
    out.finish();
    return rc;
}

NWDSCCODE read(Client& client, const Context& context, const nstr8* object, nuint32 infoType,
               nbool8 allAttrs, pBuf_T attrNames, nint32* iterationHandle, pBuf_T objectInfo) {
    BufferImpl* reply = nullptr;
    if (NWDSCCODE rc = replyOf(objectInfo, iterationHandle, &reply); rc != 0) return rc;
    if (infoType != DS_ATTRIBUTE_NAMES && infoType != DS_ATTRIBUTE_VALUES)
        return ERR_INVALID_REQUEST;
    std::vector<std::string> requested;
    if (!allAttrs) {
        BufferImpl* request = findBuffer(attrNames);
        if (request == nullptr) return ERR_NULL_POINTER;
        if (NWDSCCODE rc = requestedNames(*request, &requested); rc != 0) return rc;
    }
    AbsoluteName name;
    if (NWDSCCODE rc = client.resolve(context, object, &name); rc != 0) return rc;
    FoundObject found;
    if (!allAttrs) found.wanted = &requested;
    if (NWDSCCODE rc = client.backend()->read(context, name, &found); rc != 0) return rc;
    if (found.root) return ERR_NO_SUCH_ATTRIBUTE;
    auto selected = selectAttributes(found.view, allAttrs != 0, requested);
    if (selected.empty()) return ERR_NO_SUCH_ATTRIBUTE;

    std::size_t attribute = 0, value = 0;
    if (*iterationHandle != NO_MORE_ITERATIONS) {
        attribute = static_cast<std::size_t>(*iterationHandle) >> 16;
        value = static_cast<std::size_t>(*iterationHandle) & 0xFFFF;
        if (attribute >= selected.size() || value >= selected[attribute].valueCount())
            return ERR_INVALID_ITERATION;
    }
    bool withValues = infoType == DS_ATTRIBUTE_VALUES;
    resetBuffer(*reply, BufferKind::ReadReply);
    BufferWriter out(*reply);
    if (out.room() < BufferWriter::numberSize()) return ERR_INSUFFICIENT_BUFFER;
    out.putNumber(0);
    std::uint32_t count = 0;
    for (; attribute < selected.size(); ++attribute, value = 0) {
        const AttributeView& attr = selected[attribute];
        // As many values as fit; an attribute may continue in the next reply.
        std::size_t size = attributeSize(attr, {}, withValues);
        if (size > out.room()) break;
        std::string_view rest = withValues ? wireValues(attr, value, attr.valueCount()) : "";
        RecordCursor values(rest);
        std::string_view one;
        std::size_t end = value, taken = 0;
        while (withValues && values.text(&one) &&
               size + taken + BufferWriter::textSize(one) <= out.room()) {
            taken += BufferWriter::textSize(one);
            ++end;
        }
        if (withValues && end == value) break;
        putAttribute(out, attr, end - value, rest.substr(0, taken), withValues);
        ++count;
        if (withValues && end < attr.valueCount()) {
            value = end;
            break;
        }
    }
    if (count == 0) return ERR_INSUFFICIENT_BUFFER;
    out.patchNumber(0, count);
    *iterationHandle =
        attribute == selected.size() ? NO_MORE_ITERATIONS : readPosition(attribute, value);
    return 0;
}

}  // namespace

extern "C" {

NWDSCCODE NWDSList(NWDSContextHandle context, const nstr8* object, nint32* iterationHandle,
                   pBuf_T subordinates) {
    return withContext(context, [&](Client& client, Context& state) {
        return list(client, state, object, iterationHandle, subordinates);
    });
}

NWDSCCODE NWDSRead(NWDSContextHandle context, const nstr8* object, nuint32 infoType,
                   nbool8 allAttrs, pBuf_T attrNames, nint32* iterationHandle, pBuf_T objectInfo) {
    return withContext(context, [&](Client& client, Context& state) {
        return read(client, state, object, infoType, allAttrs, attrNames, iterationHandle,
                    objectInfo);
    });
}

NWDSCCODE NWDSCloseIteration(NWDSContextHandle context, nint32 iterationHandle, nuint32) {
    return withContext(context, [&](Client& client, Context&) -> NWDSCCODE {
        if (Backend* backend = client.backend()) backend->closeIteration(iterationHandle);
        return 0;
    });
}

}  // extern "C"
