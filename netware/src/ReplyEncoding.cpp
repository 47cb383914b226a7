#include "ReplyEncoding.h"

namespace nw {

namespace {

bool isContainerClass(const std::string& baseClass) {
    return baseClass == "Country" || baseClass == "Locality" || baseClass == "Organization" ||
           baseClass == "Organizational Unit";
}

}  // namespace

ObjectEntry describeObject(const Tree& tree, int index, std::string name) {
    const auto& object = tree.object(index);
    ObjectEntry entry;
    entry.subordinates = static_cast<std::uint32_t>(object.children.size());
    if (isContainerClass(object.baseClass) || !object.children.empty())
        entry.flags |= DS_CONTAINER_ENTRY;
    entry.baseClass = &object.baseClass;
    entry.name = std::move(name);
    return entry;
}

std::size_t objectHeaderSize(const ObjectEntry& entry) {
    return 3 * BufferWriter::numberSize() + BufferWriter::textSize(*entry.baseClass) +
           BufferWriter::textSize(entry.name) + BufferWriter::numberSize();
}

void putObjectHeader(BufferWriter& out, const ObjectEntry& entry, std::uint32_t attributeCount) {
    out.putNumber(entry.flags);
    out.putNumber(entry.subordinates);
    out.putNumber(0);  // modification time: the directory file keeps none
    out.putText(*entry.baseClass);
    out.putText(entry.name);
    out.putNumber(attributeCount);
}

std::size_t attributeSize(const Attribute& attribute, std::size_t from, std::size_t to,
                          bool withValues) {
    std::size_t size = 2 * BufferWriter::numberSize() + BufferWriter::textSize(attribute.name);
    if (withValues)
        for (std::size_t i = from; i < to; ++i) size += BufferWriter::textSize(attribute.values[i]);
    return size;
}

void putAttribute(BufferWriter& out, const Attribute& attribute, std::size_t from, std::size_t to,
                  bool withValues) {
    out.putNumber(attribute.syntax);
    out.putText(attribute.name);
    out.putNumber(withValues ? static_cast<std::uint32_t>(to - from) : 0);
    if (withValues)
        for (std::size_t i = from; i < to; ++i) out.putText(attribute.values[i]);
}

std::vector<const Attribute*> selectAttributes(const DirectoryObject& object, bool all,
                                               const std::vector<std::string>& requested) {
    std::vector<const Attribute*> selected;
    for (const auto& attribute : object.attributes) {
        bool wanted = all;
        for (std::size_t i = 0; !wanted && i < requested.size(); ++i)
            wanted = equalsIgnoreAsciiCase(attribute.name, requested[i]);
        if (wanted) selected.push_back(&attribute);
    }
    return selected;
}

NWDSCCODE requestedNames(BufferImpl& request, std::vector<std::string>* names) {
    if (request.kind != BufferKind::ReadRequest) return ERR_BAD_VERB;
    BufferReader in(request);
    in.rewind();
    std::uint32_t count = 0;
    if (!in.number(&count)) return ERR_BUFFER_EMPTY;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string_view name;
        if (!in.text(&name)) return ERR_BUFFER_EMPTY;
        names->emplace_back(name);
    }
    return 0;
}

}  // namespace nw
