#include "ExecutableResource.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <optional>

#include "LittleEndian.h"

namespace kestrel::platform::detail {
namespace {

// A resource's own length field is 16 bits wide: more is never needed.
constexpr std::uint32_t kMaxResourceSize = 0x10000;
constexpr std::uint16_t kMaxSections = 96;  // the PE format's own limit
constexpr std::uint32_t kSubdirectory = 0x80000000;

using Bytes = std::vector<std::byte>;

// Reads ranges of a file that the file really holds; anything past its end is nullopt.
class FileWindow {
  public:
    explicit FileWindow(const std::filesystem::path& file) : in_(file, std::ios::binary) {
        std::error_code error;
        size_ = std::filesystem::file_size(file, error);
        if (error) in_.close();
    }
    bool isOpen() const { return in_.is_open(); }

    std::optional<Bytes> read(std::uint64_t offset, std::uint64_t count) {
        if (offset > size_ || size_ - offset < count) return std::nullopt;
        Bytes out(static_cast<std::size_t>(count));
        in_.seekg(static_cast<std::streamoff>(offset));
        in_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(count));
        if (!in_) return std::nullopt;
        return out;
    }

  private:
    std::ifstream in_;
    std::uint64_t size_ = 0;
};

Unexpected<std::string> corrupt(const std::string& what) {
    return unexpected("corrupt executable: " + what);
}

// The file offset of `length` bytes at a relative virtual address, when a section's raw
// data hold them all.
std::optional<std::uint64_t> fileOffset(std::span<const std::byte> sections, std::uint32_t rva,
                                        std::uint32_t length) {
    for (std::size_t at = 0; at + 40 <= sections.size(); at += 40) {
        const std::uint32_t address = *readU32(sections, at + 12);
        const std::uint32_t rawSize = *readU32(sections, at + 16);
        const std::uint32_t rawOffset = *readU32(sections, at + 20);
        if (rva < address || rva - address >= rawSize) continue;
        if (rawSize - (rva - address) < length) return std::nullopt;
        return std::uint64_t{rawOffset} + (rva - address);
    }
    return std::nullopt;
}

// The PE resource tree below the resource directory at `base` (of `size` bytes): the
// entry for `type` on the first level, the first name and the first language below it.
Expected<ExecutableResource, std::string> peResource(FileWindow& file,
                                                     std::span<const std::byte> sections,
                                                     std::uint32_t base, std::uint32_t size,
                                                     unsigned type) {
    const auto directoryOffset = fileOffset(sections, base, size);
    if (!directoryOffset) return corrupt("resource directory outside the file");
    const auto tree = file.read(*directoryOffset, size);
    if (!tree) return corrupt("resource directory cut short");

    std::uint32_t node = 0;
    for (int level = 0; level < 3; ++level) {
        const auto named = readU16(*tree, std::size_t{node} + 12);
        const auto numbered = readU16(*tree, std::size_t{node} + 14);
        if (!named || !numbered) return corrupt("resource directory cut short");
        const std::size_t count = std::size_t{*named} + *numbered;
        std::optional<std::uint32_t> next;
        for (std::size_t index = 0; index < count && !next; ++index) {
            const std::size_t entry = std::size_t{node} + 16 + index * 8;
            const auto id = readU32(*tree, entry);
            const auto target = readU32(*tree, entry + 4);
            if (!id || !target) return corrupt("resource directory cut short");
            // Only the type must match; below it the first name and language are taken.
            if (level > 0 || *id == type) next = *target;
        }
        if (!next) return unexpected(std::string("no version resource"));
        const bool subdirectory = (*next & kSubdirectory) != 0;
        if (subdirectory != (level < 2)) return corrupt("resource tree of the wrong depth");
        node = *next & ~kSubdirectory;
    }
    const auto dataAddress = readU32(*tree, node);
    const auto dataSize = readU32(*tree, std::size_t{node} + 4);
    if (!dataAddress || !dataSize) return corrupt("resource entry cut short");
    const std::uint32_t length = std::min(*dataSize, kMaxResourceSize);
    const auto dataOffset = fileOffset(sections, *dataAddress, length);
    if (!dataOffset) return corrupt("resource data outside the file");
    auto bytes = file.read(*dataOffset, length);
    if (!bytes) return corrupt("resource data cut short");
    return ExecutableResource{std::move(*bytes), true};
}

Expected<ExecutableResource, std::string> portableExecutable(FileWindow& file, std::uint32_t header,
                                                             unsigned type) {
    const auto coff = file.read(std::uint64_t{header} + 4, 20);
    if (!coff) return corrupt("header cut short");
    const std::uint16_t sectionCount = *readU16(*coff, 2);
    const std::uint16_t optionalSize = *readU16(*coff, 16);
    if (sectionCount > kMaxSections) return corrupt("too many sections");
    const std::uint64_t optionalStart = std::uint64_t{header} + 24;
    const auto optional = file.read(optionalStart, optionalSize);
    if (!optional) return corrupt("optional header cut short");

    // PE32 and PE32+ differ in where the data directories start.
    const auto magic = readU16(*optional, 0);
    std::size_t directories = 0;
    if (magic == 0x10B) {
        directories = 96;
    } else if (magic == 0x20B) {
        directories = 112;
    } else {
        return corrupt("unknown optional header");
    }
    const auto directoryCount = readU32(*optional, directories - 4);
    const auto resourceAddress = readU32(*optional, directories + 16);
    const auto resourceSize = readU32(*optional, directories + 20);
    if (!directoryCount || *directoryCount < 3 || !resourceAddress || !resourceSize ||
        *resourceAddress == 0) {
        return unexpected(std::string("no version resource"));
    }
    const auto sections = file.read(optionalStart + optionalSize, std::uint64_t{sectionCount} * 40);
    if (!sections) return corrupt("section table cut short");
    return peResource(file, *sections, *resourceAddress, *resourceSize, type);
}

// The 16-bit resource table: an alignment shift, then per type its id (0x8000 | number),
// a count and the entries (offset and length in units of 2^shift).
Expected<ExecutableResource, std::string> newExecutable(FileWindow& file, std::uint32_t header,
                                                        unsigned type) {
    const auto fixed = file.read(header, 0x40);
    if (!fixed) return corrupt("header cut short");
    const std::uint16_t tableStart = *readU16(*fixed, 0x24);
    const std::uint16_t tableEnd = *readU16(*fixed, 0x26);
    if (tableEnd <= tableStart) return unexpected(std::string("no version resource"));
    const auto table = file.read(std::uint64_t{header} + tableStart, tableEnd - tableStart);
    if (!table) return corrupt("resource table cut short");
    const auto shift = readU16(*table, 0);
    if (!shift || *shift > 16) return corrupt("resource alignment");

    std::size_t at = 2;
    while (true) {
        const auto typeId = readU16(*table, at);
        const auto count = readU16(*table, at + 2);
        if (!typeId || *typeId == 0 || !count) break;
        if (*typeId == (0x8000 | type) && *count > 0) {
            const auto offset = readU16(*table, at + 8);
            const auto length = readU16(*table, at + 10);
            if (!offset || !length) break;
            const std::uint64_t start = std::uint64_t{*offset} << *shift;
            const std::uint64_t size =
                std::min<std::uint64_t>(std::uint64_t{*length} << *shift, kMaxResourceSize);
            auto bytes = file.read(start, size);
            if (!bytes) return corrupt("resource data outside the file");
            return ExecutableResource{std::move(*bytes), false};
        }
        at += 8 + std::size_t{*count} * 12;
    }
    return unexpected(std::string("no version resource"));
}

}  // namespace

Expected<ExecutableResource, std::string> readExecutableResource(const std::filesystem::path& file,
                                                                 unsigned type) {
    FileWindow window(file);
    if (!window.isOpen()) return unexpected("cannot read " + file.string());
    const auto dos = window.read(0, 64);
    if (!dos || std::to_integer<char>((*dos)[0]) != 'M' ||
        std::to_integer<char>((*dos)[1]) != 'Z') {
        return unexpected(std::string("not a Windows program or library"));
    }
    const std::uint32_t header = *readU32(*dos, 0x3C);
    const auto signature = window.read(header, 4);
    if (!signature) return unexpected(std::string("not a Windows program or library"));
    const auto letter = [&](std::size_t index) {
        return std::to_integer<char>((*signature)[index]);
    };
    if (letter(0) == 'P' && letter(1) == 'E' && letter(2) == '\0' && letter(3) == '\0') {
        return portableExecutable(window, header, type);
    }
    if (letter(0) == 'N' && letter(1) == 'E') return newExecutable(window, header, type);
    return unexpected(std::string("not a Windows program or library"));
}

}  // namespace kestrel::platform::detail
