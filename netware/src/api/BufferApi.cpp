// Buffers: allocation, request building, and reading replies entry by entry.
#include <cstring>

#include "../ReplyBuffer.h"
#include "ApiSupport.h"
#include "nwkit/Syntax.h"
#include "nwnet.h"

using namespace nw;

namespace {

constexpr std::size_t kMaxBufferSize = 16 * 1024 * 1024;
constexpr NWDSCCODE kNoMemory = ERR_NOT_ENOUGH_MEMORY;

bool isObjectReply(const BufferImpl& buffer) {
    return buffer.kind == BufferKind::ListReply || buffer.kind == BufferKind::SearchReply;
}

// Steps over what the caller left unread of the current attribute or object.
bool skipValues(BufferImpl& buffer) {
    BufferReader in(buffer);
    std::string_view value;
    for (; buffer.valuesLeft > 0; --buffer.valuesLeft)
        if (!in.text(&value)) return false;
    return true;
}

bool readAttributeHeader(BufferImpl& buffer, std::string_view* name, std::uint32_t* valueCount) {
    BufferReader in(buffer);
    if (!skipValues(buffer) || buffer.attributesLeft == 0) return false;
    if (!in.number(&buffer.syntax) || !in.text(name) || !in.number(valueCount)) return false;
    // The caller can write into a buffer; never trust a length beyond what we hand out.
    if (name->size() >= MAX_SCHEMA_NAME_BYTES) return false;
    --buffer.attributesLeft;
    buffer.valuesLeft = *valueCount;
    return true;
}

bool skipAttributes(BufferImpl& buffer) {
    std::string_view name;
    std::uint32_t count = 0;
    while (buffer.attributesLeft > 0)
        if (!readAttributeHeader(buffer, &name, &count)) return false;
    return skipValues(buffer);
}

NWDSCCODE readTopCount(BufferImpl& buffer, std::uint32_t* count) {
    BufferReader in(buffer);
    in.rewind();
    buffer.objectsLeft = buffer.attributesLeft = buffer.valuesLeft = 0;
    if (!in.number(count)) return ERR_BUFFER_EMPTY;
    buffer.countRead = true;
    if (isObjectReply(buffer))
        buffer.objectsLeft = *count;
    else
        buffer.attributesLeft = *count;
    return 0;
}

std::size_t valueSize(std::uint32_t syntax, std::size_t wireSize) {
    if (syntax == SYN_OCTET_STRING) return sizeof(Octet_String_T) + wireSize;
    if (syntax == SYN_NET_ADDRESS) return sizeof(Net_Address_T) + (wireSize - 4);
    if (nw::kit::isNumericSyntax(syntax)) return sizeof(nuint32);
    return wireSize + 1;
}

void decodeValue(std::uint32_t syntax, std::string_view wire, void* area) {
    auto* bytes = static_cast<nuint8*>(area);
    if (syntax == SYN_OCTET_STRING) {
        auto* octets = static_cast<Octet_String_T*>(area);
        octets->length = static_cast<nuint32>(wire.size());
        octets->data = bytes + sizeof(Octet_String_T);
        std::memcpy(octets->data, wire.data(), wire.size());
    } else if (syntax == SYN_NET_ADDRESS) {
        auto* address = static_cast<Net_Address_T*>(area);
        std::memcpy(&address->addressType, wire.data(), 4);
        address->addressLength = static_cast<nuint32>(wire.size() - 4);
        address->address = bytes + sizeof(Net_Address_T);
        std::memcpy(address->address, wire.data() + 4, wire.size() - 4);
    } else if (nw::kit::isNumericSyntax(syntax)) {
        std::memcpy(area, wire.data(), sizeof(nuint32));
    } else {
        copyText(static_cast<char*>(area), wire);
    }
}

// The next value of the current attribute, checked against the syntax the caller names.
NWDSCCODE nextValue(pBuf_T buf, nuint32 syntaxID, BufferImpl** buffer, std::string_view* wire) {
    *buffer = findBuffer(buf);
    if (*buffer == nullptr) return ERR_NULL_POINTER;
    if ((*buffer)->valuesLeft == 0) return ERR_BUFFER_EMPTY;
    if (syntaxID != (*buffer)->syntax) return ERR_INVALID_ATTR_SYNTAX;
    if (!BufferReader(**buffer).peekText(wire)) return ERR_BUFFER_EMPTY;
    bool wellFormed = nw::kit::isNumericSyntax(syntaxID) ? wire->size() == 4
                      : syntaxID == SYN_NET_ADDRESS      ? wire->size() >= 4
                                                         : true;
    return wellFormed ? 0 : ERR_INVALID_SERVER_RESPONSE;
}

}  // namespace

extern "C" {

NWDSCCODE NWDSAllocBuf(size_t size, pBuf_T* buf) {
    if (buf == nullptr) return ERR_NULL_POINTER;
    if (size == 0) return ERR_BUFFER_ZERO_LENGTH;
    if (size > kMaxBufferSize) return ERR_NOT_ENOUGH_MEMORY;
    return guarded(kNoMemory, [&]() -> NWDSCCODE {
        BufferImpl* buffer = allocateBuffer(size);
        if (buffer == nullptr) return ERR_NOT_ENOUGH_MEMORY;
        *buf = &buffer->pub;
        return 0;
    });
}

NWDSCCODE NWDSFreeBuf(pBuf_T buf) {
    return guarded(kNoMemory,
                   [&]() -> NWDSCCODE { return freeBuffer(buf) ? 0 : ERR_NULL_POINTER; });
}

NWDSCCODE NWDSInitBuf(NWDSContextHandle context, nuint32 operation, pBuf_T buf) {
    return withContext(context, [&](Client&, Context&) -> NWDSCCODE {
        BufferImpl* buffer = findBuffer(buf);
        if (buffer == nullptr) return ERR_NULL_POINTER;
        if (operation != DSV_READ && operation != DSV_SEARCH_FILTER) return ERR_BAD_VERB;
        if (buffer->pub.maxLen < BufferWriter::numberSize()) return ERR_BUFFER_FULL;
        resetBuffer(*buffer, static_cast<BufferKind>(operation));
        BufferWriter(*buffer).putNumber(0);
        return 0;
    });
}

NWDSCCODE NWDSPutAttrName(NWDSContextHandle context, pBuf_T buf, const nstr8* attrName) {
    return withContext(context, [&](Client&, Context&) -> NWDSCCODE {
        BufferImpl* buffer = findBuffer(buf);
        if (buffer == nullptr || attrName == nullptr) return ERR_NULL_POINTER;
        if (buffer->kind != BufferKind::ReadRequest) return ERR_BAD_VERB;
        std::string_view name = attrName;
        if (name.empty() || utf8Length(name) > MAX_SCHEMA_NAME_CHARS) return ERR_ATTR_NAME_TOO_LONG;
        BufferWriter out(*buffer);
        if (BufferWriter::textSize(name) > out.room()) return ERR_BUFFER_FULL;
        out.putText(name);
        std::uint32_t count = 0;
        std::memcpy(&count, buffer->pub.data, 4);
        out.patchNumber(0, count + 1);
        return 0;
    });
}

NWDSCCODE NWDSGetObjectCount(NWDSContextHandle, pBuf_T buf, nuint32* objectCount) {
    return guarded(kNoMemory, [&]() -> NWDSCCODE {
        BufferImpl* buffer = findBuffer(buf);
        if (buffer == nullptr || objectCount == nullptr) return ERR_NULL_POINTER;
        if (!isObjectReply(*buffer)) return ERR_BAD_VERB;
        return readTopCount(*buffer, objectCount);
    });
}

NWDSCCODE NWDSGetObjectName(NWDSContextHandle, pBuf_T buf, nstr8* objectName, nuint32* attrCount,
                            pObject_Info_T objectInfo) {
    return guarded(kNoMemory, [&]() -> NWDSCCODE {
        BufferImpl* buffer = findBuffer(buf);
        if (buffer == nullptr || objectName == nullptr) return ERR_NULL_POINTER;
        if (!isObjectReply(*buffer)) return ERR_BAD_VERB;
        std::uint32_t count = 0;
        if (!buffer->countRead && readTopCount(*buffer, &count) != 0) return ERR_BUFFER_EMPTY;
        if (!skipAttributes(*buffer) || buffer->objectsLeft == 0) return ERR_BUFFER_EMPTY;
        BufferReader in(*buffer);
        Object_Info_T info{};
        std::string_view baseClass, name;
        std::uint32_t attributes = 0;
        if (!in.number(&info.objectFlags) || !in.number(&info.subordinateCount) ||
            !in.number(&info.modificationTime) || !in.text(&baseClass) || !in.text(&name) ||
            !in.number(&attributes) || baseClass.size() >= MAX_SCHEMA_NAME_BYTES ||
            name.size() >= MAX_DN_BYTES)
            return ERR_BUFFER_EMPTY;
        --buffer->objectsLeft;
        buffer->attributesLeft = attributes;
        copyText(info.baseClass, baseClass);
        copyText(objectName, name);
        if (attrCount != nullptr) *attrCount = attributes;
        if (objectInfo != nullptr) *objectInfo = info;
        return 0;
    });
}

NWDSCCODE NWDSGetAttrCount(NWDSContextHandle, pBuf_T buf, nuint32* attrCount) {
    return guarded(kNoMemory, [&]() -> NWDSCCODE {
        BufferImpl* buffer = findBuffer(buf);
        if (buffer == nullptr || attrCount == nullptr) return ERR_NULL_POINTER;
        if (buffer->kind == BufferKind::ReadReply) return readTopCount(*buffer, attrCount);
        if (!isObjectReply(*buffer)) return ERR_BAD_VERB;
        *attrCount = buffer->attributesLeft;
        return 0;
    });
}

NWDSCCODE NWDSGetAttrName(NWDSContextHandle, pBuf_T buf, nstr8* attrName, nuint32* attrValCount,
                          nuint32* syntaxID) {
    return guarded(kNoMemory, [&]() -> NWDSCCODE {
        BufferImpl* buffer = findBuffer(buf);
        if (buffer == nullptr || attrName == nullptr) return ERR_NULL_POINTER;
        if (buffer->kind != BufferKind::ReadReply && !isObjectReply(*buffer)) return ERR_BAD_VERB;
        std::uint32_t count = 0;
        if (buffer->kind == BufferKind::ReadReply && !buffer->countRead &&
            readTopCount(*buffer, &count) != 0)
            return ERR_BUFFER_EMPTY;
        std::string_view name;
        if (!readAttributeHeader(*buffer, &name, &count)) return ERR_BUFFER_EMPTY;
        copyText(attrName, name);
        if (attrValCount != nullptr) *attrValCount = count;
        if (syntaxID != nullptr) *syntaxID = buffer->syntax;
        return 0;
    });
}

NWDSCCODE NWDSComputeAttrValSize(NWDSContextHandle, pBuf_T buf, nuint32 syntaxID,
                                 nuint32* attrValSize) {
    if (attrValSize == nullptr) return ERR_NULL_POINTER;
    return guarded(kNoMemory, [&]() -> NWDSCCODE {
        BufferImpl* buffer = nullptr;
        std::string_view wire;
        if (NWDSCCODE rc = nextValue(buf, syntaxID, &buffer, &wire); rc != 0) return rc;
        *attrValSize = static_cast<nuint32>(valueSize(syntaxID, wire.size()));
        return 0;
    });
}

NWDSCCODE NWDSGetAttrVal(NWDSContextHandle, pBuf_T buf, nuint32 syntaxID, nptr attrVal) {
    if (attrVal == nullptr) return ERR_NULL_POINTER;
    return guarded(kNoMemory, [&]() -> NWDSCCODE {
        BufferImpl* buffer = nullptr;
        std::string_view wire;
        if (NWDSCCODE rc = nextValue(buf, syntaxID, &buffer, &wire); rc != 0) return rc;
        decodeValue(syntaxID, wire, attrVal);
        BufferReader(*buffer).text(&wire);
        --buffer->valuesLeft;
        return 0;
    });
}

}  // extern "C"
