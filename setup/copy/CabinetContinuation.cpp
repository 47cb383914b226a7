#include "copy/CabinetContinuation.h"

#include <cstdint>
#include <fstream>

namespace kestrel::setup::copy {
namespace {

// Offsets in the cabinet header and in a file entry (little-endian fields).
constexpr std::streamoff kFilesOffsetField = 16;  // u32: where the file entries begin
constexpr std::streamoff kFileCountField = 28;    // u16
constexpr std::size_t kFileEntrySize = 16;        // then the NUL-ended name
constexpr std::size_t kFolderIndexField = 8;      // u16 in a file entry
constexpr unsigned kContinuedToNext = 0xFFFE;
constexpr unsigned kContinuedPrevAndNext = 0xFFFF;
constexpr std::size_t kNameLimit = 256;

unsigned littleEndian(const unsigned char* bytes, int count) {
    unsigned value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

bool readAt(std::ifstream& in, std::streamoff offset, unsigned char* into, std::size_t size) {
    in.seekg(offset);
    return static_cast<bool>(
        in.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(size)));
}

}  // namespace

std::vector<std::string> membersContinuingToNext(const std::filesystem::path& cabinet) {
    std::ifstream in(cabinet, std::ios::binary);
    unsigned char field[4];
    if (!readAt(in, kFilesOffsetField, field, 4)) return {};
    const std::streamoff filesAt = littleEndian(field, 4);
    if (!readAt(in, kFileCountField, field, 2)) return {};
    const unsigned count = littleEndian(field, 2);

    std::vector<std::string> continuing;
    in.seekg(filesAt);
    for (unsigned i = 0; i < count; ++i) {
        unsigned char entry[kFileEntrySize];
        if (!in.read(reinterpret_cast<char*>(entry), kFileEntrySize)) return {};
        std::string name;
        if (!std::getline(in, name, '\0') || name.size() >= kNameLimit) return {};
        const unsigned folder = littleEndian(entry + kFolderIndexField, 2);
        if (folder == kContinuedToNext || folder == kContinuedPrevAndNext)
            continuing.push_back(std::move(name));
    }
    return continuing;
}

}  // namespace kestrel::setup::copy
