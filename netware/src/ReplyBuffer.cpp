#include "ReplyBuffer.h"

#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

namespace nw {

namespace {

std::mutex registryMutex;
std::unordered_set<const BufferImpl*>& registry() {
    static auto* live = new std::unordered_set<const BufferImpl*>();
    return *live;
}

std::size_t offsetOf(const BufferImpl& buffer) {
    return static_cast<std::size_t>(buffer.pub.curPos - buffer.pub.data);
}

}  // namespace

BufferImpl* allocateBuffer(std::size_t size) {
    auto* buffer = new (std::nothrow) BufferImpl();
    if (buffer == nullptr) return nullptr;
    buffer->pub.data = new (std::nothrow) nuint8[size]();
    if (buffer->pub.data == nullptr) {
        delete buffer;
        return nullptr;
    }
    buffer->pub.maxLen = static_cast<nuint32>(size);
    resetBuffer(*buffer, BufferKind::Fresh);
    std::lock_guard guard(registryMutex);
    registry().insert(buffer);
    return buffer;
}

BufferImpl* findBuffer(pBuf_T buf) {
    auto* buffer = reinterpret_cast<BufferImpl*>(buf);
    std::lock_guard guard(registryMutex);
    return registry().count(buffer) ? buffer : nullptr;
}

bool freeBuffer(pBuf_T buf) {
    auto* buffer = reinterpret_cast<BufferImpl*>(buf);
    {
        std::lock_guard guard(registryMutex);
        if (registry().erase(buffer) == 0) return false;
    }
    delete[] buffer->pub.data;
    delete buffer;
    return true;
}

void resetBuffer(BufferImpl& buffer, BufferKind kind) {
    buffer.kind = kind;
    buffer.pub.operation = static_cast<nuint32>(kind);
    buffer.pub.curLen = 0;
    buffer.pub.curPos = buffer.pub.data;
    buffer.objectsLeft = buffer.attributesLeft = buffer.valuesLeft = buffer.syntax = 0;
    buffer.countRead = false;
}

void BufferWriter::putNumber(std::uint32_t value) {
    std::memcpy(buffer_.pub.data + buffer_.pub.curLen, &value, 4);
    buffer_.pub.curLen += 4;
}

void BufferWriter::putText(std::string_view text) {
    putNumber(static_cast<std::uint32_t>(text.size()));
    putBytes(text);
}

void BufferWriter::putBytes(std::string_view bytes) {
    if (!bytes.empty())
        std::memcpy(buffer_.pub.data + buffer_.pub.curLen, bytes.data(), bytes.size());
    buffer_.pub.curLen += static_cast<nuint32>(bytes.size());
}

void BufferWriter::patchNumber(std::size_t offset, std::uint32_t value) {
    std::memcpy(buffer_.pub.data + offset, &value, 4);
}

bool BufferReader::number(std::uint32_t* value) {
    std::size_t at = offsetOf(buffer_);
    if (at + 4 > buffer_.pub.curLen) return false;
    std::memcpy(value, buffer_.pub.curPos, 4);
    buffer_.pub.curPos += 4;
    return true;
}

bool BufferReader::peekText(std::string_view* value) const {
    std::size_t at = offsetOf(buffer_);
    if (at + 4 > buffer_.pub.curLen) return false;
    std::uint32_t length = 0;
    std::memcpy(&length, buffer_.pub.curPos, 4);
    if (length > buffer_.pub.curLen - at - 4) return false;
    *value = std::string_view(reinterpret_cast<const char*>(buffer_.pub.curPos + 4), length);
    return true;
}

bool BufferReader::text(std::string_view* value) {
    if (!peekText(value)) return false;
    buffer_.pub.curPos += 4 + value->size();
    return true;
}

void BufferReader::rewind() {
    buffer_.pub.curPos = buffer_.pub.data;
}

}  // namespace nw
