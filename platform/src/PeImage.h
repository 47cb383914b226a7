#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Expected.h"

// The parts of a Windows executable that its readers (resources, exports) share. Every
// offset and size read from the file is checked against it: the files come from
// installation media, and a damaged one must give an error, never a read past its end.
namespace kestrel::platform::detail {

using Bytes = std::vector<std::byte>;

// Reads ranges of a file that the file really holds; anything past its end is nullopt.
class FileWindow {
  public:
    explicit FileWindow(const std::filesystem::path& file);
    bool isOpen() const { return in_.is_open(); }
    std::optional<Bytes> read(std::uint64_t offset, std::uint64_t count);

  private:
    std::ifstream in_;
    std::uint64_t size_ = 0;
};

Unexpected<std::string> corruptExecutable(const std::string& what);

enum class ExecutableKind { Portable, New16 };
// Where the PE or NE header starts, after the MS-DOS stub.
struct ExecutableHeader {
    ExecutableKind kind;
    std::uint32_t offset;
};
Expected<ExecutableHeader, std::string> executableHeader(FileWindow& file);

// One entry of a PE file's data directory, with the section table that maps its addresses.
struct PeDirectory {
    std::uint32_t address = 0;  // relative virtual address; 0 when the file has none
    std::uint32_t size = 0;
    Bytes sections;
};
Expected<PeDirectory, std::string> peDirectory(FileWindow& file, std::uint32_t header,
                                               unsigned index);

// The file offset of `length` bytes at a relative virtual address, when a section's raw
// data hold them all.
std::optional<std::uint64_t> fileOffset(std::span<const std::byte> sections, std::uint32_t rva,
                                        std::uint32_t length);

}  // namespace kestrel::platform::detail
