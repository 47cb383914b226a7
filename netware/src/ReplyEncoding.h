// What the list, read and search calls put into a reply buffer for one object or one
// attribute, with the sizes to check before writing (see ReplyBuffer.h for the layout).
#pragma once

#include <string>
#include <vector>

#include "Directory.h"
#include "ReplyBuffer.h"

namespace nw {

struct ObjectEntry {
    std::uint32_t flags = 0;
    std::uint32_t subordinates = 0;
    std::string_view baseClass;
    std::string name;
};

ObjectEntry describeObject(const Tree& tree, int index, std::string name);
std::size_t objectHeaderSize(const ObjectEntry& entry);
void putObjectHeader(BufferWriter& out, const ObjectEntry& entry, std::uint32_t attributeCount);

// Values [from, to) of an attribute in their wire form.
std::string_view wireValues(const AttributeView& attribute, std::size_t from, std::size_t to);
// With names only, no values are written.
std::size_t attributeSize(const AttributeView& attribute, std::string_view values, bool withValues);
void putAttribute(BufferWriter& out, const AttributeView& attribute, std::size_t valueCount,
                  std::string_view values, bool withValues);

// The attributes a read or search returns for an object: all, or the requested ones in the
// object's own order.
std::vector<AttributeView> selectAttributes(const ObjectView& object, bool all,
                                            const std::vector<std::string>& requested);
// The names a read request buffer holds.
NWDSCCODE requestedNames(BufferImpl& request, std::vector<std::string>* names);

}  // namespace nw
