// Request and reply buffers behind Buf_T: allocation with a registry (so that a pointer the
// client did not hand out is refused instead of followed), and the byte layout of what the
// calls put into them. Every number is 32 bits, every text a 32-bit length and its bytes.
//
//   read reply:    attrCount, attribute...
//   list/search:   objectCount, object...
//   object:        flags, subordinateCount, modificationTime, baseClass, name, attrCount,
//                  attribute...
//   attribute:     syntax, name, valueCount, value (length + wire bytes)...
//   read request:  nameCount, name...
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "nwnet.h"

namespace nw {

enum class BufferKind : std::uint32_t {
    Fresh = 0,
    ReadRequest = DSV_READ,
    FilterRequest = DSV_SEARCH_FILTER,
    ReadReply = 0x100,
    ListReply = 0x101,
    SearchReply = 0x102,
};

struct BufferImpl {
    Buf_T pub;  // first member: a pBuf_T is the address of its BufferImpl
    BufferKind kind = BufferKind::Fresh;
    // Reading position inside a reply.
    std::uint32_t objectsLeft = 0;
    std::uint32_t attributesLeft = 0;
    std::uint32_t valuesLeft = 0;
    std::uint32_t syntax = 0;
    bool countRead = false;
};

BufferImpl* allocateBuffer(std::size_t size);
// The buffer behind a caller's pointer, or null when the client did not allocate it.
BufferImpl* findBuffer(pBuf_T buf);
bool freeBuffer(pBuf_T buf);

// Starts a fresh content of the given kind (positions reset, length 0).
void resetBuffer(BufferImpl& buffer, BufferKind kind);

class BufferWriter {
  public:
    explicit BufferWriter(BufferImpl& buffer) : buffer_(buffer) {}
    std::size_t used() const { return buffer_.pub.curLen; }
    std::size_t room() const { return buffer_.pub.maxLen - buffer_.pub.curLen; }
    void putNumber(std::uint32_t value);
    void putText(std::string_view text);
    void putBytes(std::string_view bytes);
    void patchNumber(std::size_t offset, std::uint32_t value);

    static constexpr std::size_t numberSize() { return 4; }
    static std::size_t textSize(std::string_view text) { return 4 + text.size(); }

  private:
    BufferImpl& buffer_;
};

// Bounds-checked reading from the current position of a buffer.
class BufferReader {
  public:
    explicit BufferReader(BufferImpl& buffer) : buffer_(buffer) {}
    bool number(std::uint32_t* value);
    bool text(std::string_view* value);
    bool peekText(std::string_view* value) const;
    void rewind();

  private:
    BufferImpl& buffer_;
};

}  // namespace nw
