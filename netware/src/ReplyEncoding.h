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

// The classes that hold other objects even while they are empty.
inline constexpr std::string_view kContainerClasses[] = {"Country", "Locality", "Organization",
                                                         "Organizational Unit"};
bool isContainerClass(std::string_view baseClass);
ObjectEntry describeObject(const Tree& tree, int index, std::string name);
std::size_t objectHeaderSize(const ObjectEntry& entry);
void putObjectHeader(BufferWriter& out, const ObjectEntry& entry, std::uint32_t attributeCount);

// Values [from, to) of an attribute in their wire form.
std::string_view wireValues(const AttributeView& attribute, std::size_t from, std::size_t to);
// With names only, no values are written.
std::size_t attributeSize(const AttributeView& attribute, std::string_view values, bool withValues);
void putAttribute(BufferWriter& out, const AttributeView& attribute, std::size_t valueCount,
                  std::string_view values, bool withValues);

// A list or search reply, filled object by object for as long as they fit.
class ObjectReply {
  public:
    ObjectReply(BufferImpl& buffer, BufferKind kind, bool withValues);
    // False when the buffer cannot even hold the object count.
    bool usable() const { return usable_; }
    bool withValues() const { return withValues_; }
    // The whole size of the buffer, what a server's page is sized after.
    std::size_t capacity() const { return capacity_; }
    // Adds an object with its attributes (all values); false, with nothing written, when it
    // does not fit.
    bool add(const ObjectEntry& entry, const std::vector<AttributeView>& attributes = {});
    std::uint32_t count() const { return count_; }
    // Writes the object count.
    void finish();

  private:
    BufferWriter out_;
    bool usable_ = false;
    bool withValues_ = false;
    std::size_t capacity_ = 0;
    std::uint32_t count_ = 0;
};

// The attributes a read or search returns for an object: all, or the requested ones in the
// object's own order.
std::vector<AttributeView> selectAttributes(const ObjectView& object, bool all,
                                            const std::vector<std::string>& requested);
// The names a read request buffer holds.
NWDSCCODE requestedNames(BufferImpl& request, std::vector<std::string>* names);

}  // namespace nw
