// The stored form of a directory object, shared by the compiled store and the in-memory
// directory: one byte record per object that the replies copy from without decoding it into
// strings first. Numbers are 32-bit little-endian, texts a 32-bit length and their bytes.
//
//   object:     name, baseClass, passwordHash, attrCount, attribute...
//   attribute:  syntax, name, valueCount, valueBytes, value (length + wire bytes)...
//
// valueBytes lets a reader step over an attribute it does not want. Views never read outside
// their record: a damaged record reads as fewer (or empty) fields, never out of bounds.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace nw {

// Bounds-checked reading from a record.
class RecordCursor {
  public:
    explicit RecordCursor(std::string_view bytes) : rest_(bytes) {}
    bool number(std::uint32_t* value);
    bool text(std::string_view* value);
    bool bytes(std::size_t count, std::string_view* value);
    std::string_view rest() const { return rest_; }

  private:
    std::string_view rest_;
};

// One attribute of an object record; values are read in order.
class AttributeView {
  public:
    AttributeView() = default;
    std::string_view name() const { return name_; }
    std::uint32_t syntax() const { return syntax_; }
    std::size_t valueCount() const { return valueCount_; }
    // The values in wire form, each a 32-bit length and its bytes, exactly as replies hold them.
    std::string_view wireValues() const { return values_; }

    // Iterates the values as byte strings.
    class Values {
      public:
        explicit Values(std::string_view wire) : cursor_(wire) {}
        bool next(std::string_view* value) { return cursor_.text(value); }

      private:
        RecordCursor cursor_;
    };
    Values values() const { return Values(values_); }

  private:
    friend class AttributeList;
    std::string_view name_;
    std::uint32_t syntax_ = 0;
    std::uint32_t valueCount_ = 0;
    std::string_view values_;
};

// The attributes of an object record, in their stored order.
class AttributeList {
  public:
    explicit AttributeList(std::string_view wire, std::uint32_t count)
        : wire_(wire), count_(count) {}
    std::size_t size() const { return count_; }
    // Steps to the next attribute; false at the end (or where the record is damaged).
    bool next(AttributeView* attribute);

  private:
    RecordCursor wire_;
    std::uint32_t count_;
};

class ObjectView {
  public:
    ObjectView() = default;
    // A record cut after the password hash (a head) reads as an object without attributes.
    explicit ObjectView(std::string_view record);
    // The length of the head of a whole record.
    static std::size_t headSize(std::string_view record);
    std::string_view name() const { return name_; }
    std::string_view baseClass() const { return baseClass_; }
    std::string_view passwordHash() const { return passwordHash_; }
    AttributeList attributes() const { return AttributeList(attributes_, attributeCount_); }

  private:
    std::string_view name_, baseClass_, passwordHash_, attributes_;
    std::uint32_t attributeCount_ = 0;
};

// Appends numbers and texts in record form.
inline void appendNumber(std::string& out, std::uint32_t value) {
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    out.append(bytes, 4);
}
inline void appendText(std::string& out, std::string_view text) {
    appendNumber(out, static_cast<std::uint32_t>(text.size()));
    out.append(text);
}
inline std::uint32_t numberAt(std::string_view bytes, std::size_t offset) {
    std::uint32_t value = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

// A record of 32-bit numbers (children, links, class postings) read by position.
class NumberArray {
  public:
    NumberArray() = default;
    explicit NumberArray(std::string_view bytes) : bytes_(bytes) {}
    std::size_t size() const { return bytes_.size() / 4; }
    bool empty() const { return size() == 0; }
    std::uint32_t operator[](std::size_t i) const { return numberAt(bytes_, 4 * i); }
    // The first position whose number is not below `value` (the array is ascending).
    std::size_t lowerBound(std::uint32_t value) const;

  private:
    std::string_view bytes_;
};

}  // namespace nw
