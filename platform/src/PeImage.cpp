#include "PeImage.h"

#include "LittleEndian.h"

namespace kestrel::platform::detail {
namespace {

constexpr std::uint16_t kMaxSections = 96;  // the PE format's own limit

Unexpected<std::string> notAnExecutable() {
    return unexpected(std::string("not a Windows program or library"));
}

}  // namespace

FileWindow::FileWindow(const std::filesystem::path& file) : in_(file, std::ios::binary) {
    std::error_code error;
    size_ = std::filesystem::file_size(file, error);
    if (error) in_.close();
}

std::optional<Bytes> FileWindow::read(std::uint64_t offset, std::uint64_t count) {
    if (offset > size_ || size_ - offset < count) return std::nullopt;
    Bytes out(static_cast<std::size_t>(count));
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(count));
    if (!in_) return std::nullopt;
    return out;
}

Unexpected<std::string> corruptExecutable(const std::string& what) {
    return unexpected("corrupt executable: " + what);
}

Expected<ExecutableHeader, std::string> executableHeader(FileWindow& file) {
    const auto dos = file.read(0, 64);
    if (!dos || std::to_integer<char>((*dos)[0]) != 'M' ||
        std::to_integer<char>((*dos)[1]) != 'Z') {
        return notAnExecutable();
    }
    const std::uint32_t header = *readU32(*dos, 0x3C);
    const auto signature = file.read(header, 4);
    if (!signature) return notAnExecutable();
    const auto letter = [&](std::size_t index) {
        return std::to_integer<char>((*signature)[index]);
    };
    if (letter(0) == 'P' && letter(1) == 'E' && letter(2) == '\0' && letter(3) == '\0') {
        return ExecutableHeader{ExecutableKind::Portable, header};
    }
    if (letter(0) == 'N' && letter(1) == 'E')
        return ExecutableHeader{ExecutableKind::New16, header};
    return notAnExecutable();
}

Expected<PeDirectory, std::string> peDirectory(FileWindow& file, std::uint32_t header,
                                               unsigned index) {
    const auto coff = file.read(std::uint64_t{header} + 4, 20);
    if (!coff) return corruptExecutable("header cut short");
    const std::uint16_t sectionCount = *readU16(*coff, 2);
    const std::uint16_t optionalSize = *readU16(*coff, 16);
    if (sectionCount > kMaxSections) return corruptExecutable("too many sections");
    const std::uint64_t optionalStart = std::uint64_t{header} + 24;
    const auto optional = file.read(optionalStart, optionalSize);
    if (!optional) return corruptExecutable("optional header cut short");

    // PE32 and PE32+ differ in where the data directories start.
    const auto magic = readU16(*optional, 0);
    std::size_t directories = 0;
    if (magic == 0x10B) {
        directories = 96;
    } else if (magic == 0x20B) {
        directories = 112;
    } else {
        return corruptExecutable("unknown optional header");
    }
    PeDirectory found;
    const auto directoryCount = readU32(*optional, directories - 4);
    const auto address = readU32(*optional, directories + std::size_t{index} * 8);
    const auto size = readU32(*optional, directories + std::size_t{index} * 8 + 4);
    if (!directoryCount || *directoryCount <= index || !address || !size || *address == 0) {
        return found;
    }
    auto sections = file.read(optionalStart + optionalSize, std::uint64_t{sectionCount} * 40);
    if (!sections) return corruptExecutable("section table cut short");
    found.address = *address;
    found.size = *size;
    found.sections = std::move(*sections);
    return found;
}

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

}  // namespace kestrel::platform::detail
