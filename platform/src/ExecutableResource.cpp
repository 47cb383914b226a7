#include "ExecutableResource.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "LittleEndian.h"
#include "PeImage.h"

namespace kestrel::platform::detail {
namespace {

// A resource's own length field is 16 bits wide: more is never needed.
constexpr std::uint32_t kMaxResourceSize = 0x10000;
constexpr std::uint32_t kSubdirectory = 0x80000000;
constexpr unsigned kResourceDirectory = 2;

// The PE resource tree below the resource directory at `base` (of `size` bytes): the
// entry for `type` on the first level, the first name and the first language below it.
Expected<ExecutableResource, std::string> peResource(FileWindow& file,
                                                     std::span<const std::byte> sections,
                                                     std::uint32_t base, std::uint32_t size,
                                                     unsigned type) {
    const auto directoryOffset = fileOffset(sections, base, size);
    if (!directoryOffset) return corruptExecutable("resource directory outside the file");
    const auto tree = file.read(*directoryOffset, size);
    if (!tree) return corruptExecutable("resource directory cut short");

    std::uint32_t node = 0;
    for (int level = 0; level < 3; ++level) {
        const auto named = readU16(*tree, std::size_t{node} + 12);
        const auto numbered = readU16(*tree, std::size_t{node} + 14);
        if (!named || !numbered) return corruptExecutable("resource directory cut short");
        const std::size_t count = std::size_t{*named} + *numbered;
        std::optional<std::uint32_t> next;
        for (std::size_t index = 0; index < count && !next; ++index) {
            const std::size_t entry = std::size_t{node} + 16 + index * 8;
            const auto id = readU32(*tree, entry);
            const auto target = readU32(*tree, entry + 4);
            if (!id || !target) return corruptExecutable("resource directory cut short");
            // Only the type must match; below it the first name and language are taken.
            if (level > 0 || *id == type) next = *target;
        }
        if (!next) return unexpected(std::string("no version resource"));
        const bool subdirectory = (*next & kSubdirectory) != 0;
        if (subdirectory != (level < 2))
            return corruptExecutable("resource tree of the wrong depth");
        node = *next & ~kSubdirectory;
    }
    const auto dataAddress = readU32(*tree, node);
    const auto dataSize = readU32(*tree, std::size_t{node} + 4);
    if (!dataAddress || !dataSize) return corruptExecutable("resource entry cut short");
    const std::uint32_t length = std::min(*dataSize, kMaxResourceSize);
    const auto dataOffset = fileOffset(sections, *dataAddress, length);
    if (!dataOffset) return corruptExecutable("resource data outside the file");
    auto bytes = file.read(*dataOffset, length);
    if (!bytes) return corruptExecutable("resource data cut short");
    return ExecutableResource{std::move(*bytes), true};
}

Expected<ExecutableResource, std::string> portableExecutable(FileWindow& file, std::uint32_t header,
                                                             unsigned type) {
    const auto directory = peDirectory(file, header, kResourceDirectory);
    if (!directory) return unexpected(directory.error());
    if (directory->address == 0) return unexpected(std::string("no version resource"));
    return peResource(file, directory->sections, directory->address, directory->size, type);
}

// The 16-bit resource table: an alignment shift, then per type its id (0x8000 | number),
// a count and the entries (offset and length in units of 2^shift).
Expected<ExecutableResource, std::string> newExecutable(FileWindow& file, std::uint32_t header,
                                                        unsigned type) {
    const auto fixed = file.read(header, 0x40);
    if (!fixed) return corruptExecutable("header cut short");
    const std::uint16_t tableStart = *readU16(*fixed, 0x24);
    const std::uint16_t tableEnd = *readU16(*fixed, 0x26);
    if (tableEnd <= tableStart) return unexpected(std::string("no version resource"));
    const auto table = file.read(std::uint64_t{header} + tableStart, tableEnd - tableStart);
    if (!table) return corruptExecutable("resource table cut short");
    const auto shift = readU16(*table, 0);
    if (!shift || *shift > 16) return corruptExecutable("resource alignment");

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
            if (!bytes) return corruptExecutable("resource data outside the file");
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
    const auto header = executableHeader(window);
    if (!header) return unexpected(header.error());
    if (header->kind == ExecutableKind::Portable) {
        return portableExecutable(window, header->offset, type);
    }
    return newExecutable(window, header->offset, type);
}

}  // namespace kestrel::platform::detail
