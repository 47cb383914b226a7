// Writes object records in the form ObjectRecord.h reads them. The directory file's compiler
// and the LDAP backend both make their records here, so the two cannot drift apart.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ObjectRecord.h"

namespace nw {

// Items in record form and how many there are.
class CountedBytes {
  public:
    void clear() {
        bytes_.clear();
        count_ = 0;
    }
    std::uint32_t count() const { return count_; }
    std::string_view bytes() const { return bytes_; }

  protected:
    std::string bytes_;
    std::uint32_t count_ = 0;
};

// The values of one attribute in wire form.
class WireValues : public CountedBytes {
  public:
    void add(std::string_view value) {
        appendText(bytes_, value);
        ++count_;
    }
};

// Attributes in record form, written ahead of the record they go into when they are known
// before the object's head is.
class AttributeRecords : public CountedBytes {
  public:
    void add(std::uint32_t syntax, std::string_view name, const WireValues& values);
};

// One record at a time; the memory of the last is kept for the next. After each call the
// record is whole: the head's attribute count always says how many follow.
class ObjectRecordWriter {
  public:
    void begin(std::string_view name, std::string_view baseClass,
               std::string_view passwordHash = {});
    void add(std::uint32_t syntax, std::string_view name, const WireValues& values);
    void add(const AttributeRecords& attributes);

    const std::string& record() const { return record_; }
    std::string take() { return std::move(record_); }

  private:
    void countMore(std::uint32_t added);

    std::string record_;
    std::size_t countAt_ = 0;  // where the head keeps the attribute count
    std::uint32_t count_ = 0;
};

}  // namespace nw
