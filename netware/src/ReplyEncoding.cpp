#include "ReplyEncoding.h"

namespace nw {

bool isContainerClass(std::string_view baseClass) {
    for (std::string_view name : kContainerClasses)
        if (baseClass == name) return true;
    return false;
}

ObjectEntry describeObject(const Tree& tree, int index, std::string name) {
    ObjectEntry entry;
    entry.subordinates = tree.childCount(index);
    entry.baseClass = tree.head(index).baseClass();
    if (isContainerClass(entry.baseClass) || entry.subordinates > 0)
        entry.flags |= DS_CONTAINER_ENTRY;
    entry.name = std::move(name);
    return entry;
}

std::size_t objectHeaderSize(const ObjectEntry& entry) {
    return 3 * BufferWriter::numberSize() + BufferWriter::textSize(entry.baseClass) +
           BufferWriter::textSize(entry.name) + BufferWriter::numberSize();
}

void putObjectHeader(BufferWriter& out, const ObjectEntry& entry, std::uint32_t attributeCount) {
    out.putNumber(entry.flags);
    out.putNumber(entry.subordinates);
    out.putNumber(0);  // modification time: the directory file keeps none
    out.putText(entry.baseClass);
    out.putText(entry.name);
    out.putNumber(attributeCount);
}

ObjectReply::ObjectReply(BufferImpl& buffer, BufferKind kind, bool withValues)
    : out_((resetBuffer(buffer, kind), buffer)),
      withValues_(withValues),
      capacity_(buffer.pub.maxLen) {
    usable_ = out_.room() >= BufferWriter::numberSize();
    if (usable_) out_.putNumber(0);
}

bool ObjectReply::add(const ObjectEntry& entry, const std::vector<AttributeView>& attributes) {
    std::size_t size = objectHeaderSize(entry);
    for (const AttributeView& attr : attributes)
        size += attributeSize(attr, attr.wireValues(), withValues_);
    if (!usable_ || size > out_.room()) return false;
    putObjectHeader(out_, entry, static_cast<std::uint32_t>(attributes.size()));
    for (const AttributeView& attr : attributes)
        putAttribute(out_, attr, attr.valueCount(), attr.wireValues(), withValues_);
    ++count_;
    return true;
}

void ObjectReply::finish() {
    if (usable_) out_.patchNumber(0, count_);
}

std::string_view wireValues(const AttributeView& attribute, std::size_t from, std::size_t to) {
    std::string_view wire = attribute.wireValues();
    std::size_t begin = 0, end = 0;
    auto values = attribute.values();
    std::string_view value;
    for (std::size_t i = 0; i < to && values.next(&value); ++i) {
        if (i == from) begin = end;
        end += BufferWriter::textSize(value);
    }
    return from < to ? wire.substr(begin, end - begin) : std::string_view();
}

std::size_t attributeSize(const AttributeView& attribute, std::string_view values,
                          bool withValues) {
    return 2 * BufferWriter::numberSize() + BufferWriter::textSize(attribute.name()) +
           (withValues ? values.size() : 0);
}

void putAttribute(BufferWriter& out, const AttributeView& attribute, std::size_t valueCount,
                  std::string_view values, bool withValues) {
    out.putNumber(attribute.syntax());
    out.putText(attribute.name());
    out.putNumber(withValues ? static_cast<std::uint32_t>(valueCount) : 0);
    // The store keeps values in the reply's own form: they are copied as they stand.
    if (withValues) out.putBytes(values);
}

std::vector<AttributeView> selectAttributes(const ObjectView& object, bool all,
                                            const std::vector<std::string>& requested) {
    std::vector<AttributeView> selected;
    auto attributes = object.attributes();
    AttributeView attribute;
    while (attributes.next(&attribute)) {
        bool wanted = all;
        for (std::size_t i = 0; !wanted && i < requested.size(); ++i)
            wanted = equalsIgnoreAsciiCase(attribute.name(), requested[i]);
        if (wanted) selected.push_back(attribute);
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
