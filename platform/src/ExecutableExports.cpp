#include "platform/ExecutableExports.h"

#include <algorithm>

#include "LittleEndian.h"
#include "PeImage.h"

namespace kestrel::platform {

using namespace detail;

namespace {

constexpr unsigned kExportDirectory = 0;
constexpr std::uint32_t kExportHeaderSize = 40;
// Far above what real libraries export; bounds what a damaged table can make us read.
constexpr std::uint32_t kMaxNames = 0x10000;
constexpr std::uint32_t kMaxNameLength = 512;

// The zero-terminated name at a relative virtual address, at most kMaxNameLength bytes.
std::optional<std::string> nameAt(FileWindow& file, std::span<const std::byte> sections,
                                  std::uint32_t rva) {
    for (std::uint32_t length = kMaxNameLength; length > 0; length /= 2) {
        // Near the end of a section the longest read does not fit; shorter ones may.
        const auto offset = fileOffset(sections, rva, length);
        if (!offset) continue;
        const auto bytes = file.read(*offset, length);
        if (!bytes) continue;
        const auto end = std::find(bytes->begin(), bytes->end(), std::byte{0});
        if (end == bytes->end()) return std::nullopt;
        std::string name;
        for (auto at = bytes->begin(); at != end; ++at) name += std::to_integer<char>(*at);
        return name;
    }
    return std::nullopt;
}

}  // namespace

Expected<bool, std::string> exportsFunction(const std::filesystem::path& file,
                                            std::string_view name) {
    FileWindow window(file);
    if (!window.isOpen()) return unexpected("cannot read " + file.string());
    const auto header = executableHeader(window);
    if (!header) return unexpected(header.error());
    // 16-bit libraries register through their own program, never through an export.
    if (header->kind != ExecutableKind::Portable) return false;
    const auto directory = peDirectory(window, header->offset, kExportDirectory);
    if (!directory) return unexpected(directory.error());
    if (directory->address == 0) return false;

    const std::span<const std::byte> sections = directory->sections;
    const auto tableOffset = fileOffset(sections, directory->address, kExportHeaderSize);
    if (!tableOffset) return corruptExecutable("export table outside the file");
    const auto table = window.read(*tableOffset, kExportHeaderSize);
    if (!table) return corruptExecutable("export table cut short");
    const std::uint32_t count = std::min(*readU32(*table, 24), kMaxNames);
    const std::uint32_t namesAddress = *readU32(*table, 32);
    if (count == 0) return false;
    const auto namesOffset = fileOffset(sections, namesAddress, count * 4);
    if (!namesOffset) return corruptExecutable("export names outside the file");
    const auto names = window.read(*namesOffset, std::uint64_t{count} * 4);
    if (!names) return corruptExecutable("export names cut short");
    for (std::uint32_t index = 0; index < count; ++index) {
        const auto exported = nameAt(window, sections, *readU32(*names, std::size_t{index} * 4));
        if (!exported) return corruptExecutable("export name outside the file");
        if (*exported == name) return true;
    }
    return false;
}

}  // namespace kestrel::platform
