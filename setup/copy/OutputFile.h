#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <system_error>

#include "platform/Expected.h"

namespace kestrel::setup::copy {

// A file the copy engine writes. Kept behind an interface so that a test can stand in a
// writer that fails the way a full disk does.
class OutputFile {
  public:
    virtual ~OutputFile() = default;
    // Writes the whole block; why not when it could not.
    [[nodiscard]] virtual platform::Expected<void, std::string> write(
        std::span<const std::byte> block) = 0;
    // Closes the file, with `durable` after making its data durable first; why not when that
    // failed (a full disk may only say so here). Durable is for data that is to replace or
    // extend what is there already: a file new under its name loses nothing in a crash.
    [[nodiscard]] virtual platform::Expected<void, std::string> close(bool durable) = 0;
    // The length the file had when it was opened (for an appended file, where a failed copy
    // cuts it back to).
    virtual std::uint64_t startLength() const = 0;
};

enum class OutputMode {
    NewFile,  // created; fails with std::errc::file_exists when the name is taken
    Append,   // an existing file, written at its end; created when missing
};

class OutputFiles {
  public:
    virtual ~OutputFiles() = default;
    [[nodiscard]] virtual platform::Expected<std::unique_ptr<OutputFile>, std::error_code> open(
        const std::filesystem::path& path, OutputMode mode) = 0;
};

// Files on the host, through plain descriptors.
class HostOutputFiles : public OutputFiles {
  public:
    [[nodiscard]] platform::Expected<std::unique_ptr<OutputFile>, std::error_code> open(
        const std::filesystem::path& path, OutputMode mode) override;
};

}  // namespace kestrel::setup::copy
