// Directory information of one object (its full name, class, parent...) in a plain block.
#include <cstring>
#include <string>

#include "../Client.h"
#include "ApiSupport.h"
#include "nwnet.h"

using namespace nw;

namespace {

enum class FieldKind { Number, Stamp, Text };

FieldKind kindOf(std::uint32_t flag) {
    switch (flag) {
        case DSI_MODIFICATION_TIMESTAMP:
        case DSI_CREATION_TIMESTAMP:
            return FieldKind::Stamp;
        case DSI_BASE_CLASS:
        case DSI_ENTRY_RDN:
        case DSI_ENTRY_DN:
        case DSI_PARTITION_ROOT_DN:
        case DSI_PARENT_DN:
        case DSI_DEREFERENCE_BASE_CLASS:
            return FieldKind::Text;
        default:
            return FieldKind::Number;
    }
}

constexpr std::uint32_t kLastFlag = DSI_DEREFERENCE_BASE_CLASS;

std::string fieldText(Client& client, const Context& context, const ObjectDescription& object,
                      std::uint32_t flag) {
    static const std::string rootClass = "Tree Root";
    bool root = object.root;
    switch (flag) {
        case DSI_BASE_CLASS:
        case DSI_DEREFERENCE_BASE_CLASS:
            return root ? rootClass : object.baseClass;
        case DSI_ENTRY_RDN:
            return root ? "[Root]"
                        : client.fullName(context,
                                          std::string(splitStoredName(object.name).front()));
        case DSI_ENTRY_DN:
            return root ? "[Root]" : client.fullName(context, object.name);
        case DSI_PARENT_DN:
            return root || object.parentName.empty() ? "[Root]"
                                                     : client.fullName(context, object.parentName);
        default:  // the whole tree is one partition
            return "[Root]";
    }
}

std::uint32_t fieldNumber(const ObjectDescription& object, std::uint32_t flag,
                          std::uint32_t fields) {
    switch (flag) {
        case DSI_OUTPUT_FIELDS:
            return fields;
        case DSI_ENTRY_ID:
            return object.entryId;
        case DSI_ENTRY_FLAGS:
            return object.container ? DS_CONTAINER_ENTRY : 0;
        case DSI_SUBORDINATE_COUNT:
            return object.subordinates;
        case DSI_PARENT_ID:
            return object.parentId;
        case DSI_REVISION_COUNT:
            return 1;
        default:
            return 0;  // times, partition root id, replica type (master), purge time
    }
}

// Size of the field at `at`, or 0 when it does not lie wholly inside the block.
std::size_t fieldSize(FieldKind kind, const char* at, std::size_t left) {
    if (kind == FieldKind::Number) return left >= 4 ? 4 : 0;
    if (kind == FieldKind::Stamp) return left >= sizeof(TimeStamp_T) ? sizeof(TimeStamp_T) : 0;
    const void* end = std::memchr(at, '\0', left);
    return end == nullptr ? 0 : static_cast<std::size_t>(static_cast<const char*>(end) - at) + 1;
}

}  // namespace

extern "C" {

NWDSCCODE NWDSReadObjectDSIInfo(NWDSContextHandle handle, const nstr8* object, size_t infoLength,
                                nptr distinguishedInfo) {
    if (distinguishedInfo == nullptr) return ERR_NULL_POINTER;
    return withContext(handle, [&](Client& client, Context& context) -> NWDSCCODE {
        AbsoluteName name;
        if (NWDSCCODE rc = client.resolve(context, object, &name); rc != 0) return rc;
        ObjectDescription found;
        if (NWDSCCODE rc = client.backend()->describe(context, name, &found); rc != 0) return rc;
        std::string block;
        for (std::uint32_t flag = 1; flag != 0 && flag <= kLastFlag; flag <<= 1) {
            if ((context.dsiFlags & flag) == 0) continue;
            switch (kindOf(flag)) {
                case FieldKind::Number:
                    appendNumber(block, fieldNumber(found, flag, context.dsiFlags));
                    break;
                case FieldKind::Stamp:
                    block.append(sizeof(TimeStamp_T), '\0');
                    break;
                case FieldKind::Text:
                    block += fieldText(client, context, found, flag);
                    block.push_back('\0');
                    break;
            }
        }
        if (block.size() > infoLength) return ERR_INSUFFICIENT_BUFFER;
        std::memcpy(distinguishedInfo, block.data(), block.size());
        return 0;
    });
}

NWDSCCODE NWDSGetDSIInfo(NWDSContextHandle handle, nptr infoPtr, nuint32 infoLength,
                         nuint32 infoFlag, nptr data) {
    if (infoPtr == nullptr || data == nullptr) return ERR_NULL_POINTER;
    std::uint32_t fields = 0;
    NWDSCCODE known = withContext(handle, [&](Client&, Context& context) -> NWDSCCODE {
        fields = context.dsiFlags;
        return 0;
    });
    if (known != 0) return known;
    // A block that starts with its field list describes itself.
    const char* block = static_cast<const char*>(infoPtr);
    if ((fields & DSI_OUTPUT_FIELDS) != 0 && infoLength >= 4) std::memcpy(&fields, block, 4);
    std::size_t at = 0;
    for (std::uint32_t flag = 1; flag != 0 && flag <= kLastFlag; flag <<= 1) {
        if ((fields & flag) == 0) continue;
        FieldKind kind = kindOf(flag);
        std::size_t size = fieldSize(kind, block + at, infoLength - at);
        if (size == 0) return ERR_BUFFER_EMPTY;
        if (flag == infoFlag) {
            std::memcpy(data, block + at, size);
            return 0;
        }
        at += size;
    }
    return ERR_INVALID_REQUEST;
}

}  // extern "C"
