#include "ObjectRecordWriter.h"

#include <cstring>

namespace nw {

namespace {

void appendAttribute(std::string& out, std::uint32_t syntax, std::string_view name,
                     const WireValues& values) {
    appendNumber(out, syntax);
    appendText(out, name);
    appendNumber(out, values.count());
    // The values' length lets a reader step over the attribute.
    appendText(out, values.bytes());
}

}  // namespace

void AttributeRecords::add(std::uint32_t syntax, std::string_view name, const WireValues& values) {
    appendAttribute(bytes_, syntax, name, values);
    ++count_;
}

void ObjectRecordWriter::begin(std::string_view name, std::string_view baseClass,
                               std::string_view passwordHash) {
    record_.clear();
    appendText(record_, name);
    appendText(record_, baseClass);
    appendText(record_, passwordHash);
    countAt_ = record_.size();
    count_ = 0;
    appendNumber(record_, 0);
}

void ObjectRecordWriter::add(std::uint32_t syntax, std::string_view name,
                             const WireValues& values) {
    appendAttribute(record_, syntax, name, values);
    countMore(1);
}

void ObjectRecordWriter::add(const AttributeRecords& attributes) {
    record_ += attributes.bytes();
    countMore(attributes.count());
}

void ObjectRecordWriter::countMore(std::uint32_t added) {
    count_ += added;
    std::memcpy(record_.data() + countAt_, &count_, 4);
}

}  // namespace nw
