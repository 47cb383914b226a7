// The directory file as it was at one moment, for the compile to read. The file itself may be
// rewritten in place while it is read (cat new.json > dir.json): a map of it would kill its
// reader with SIGBUS where the file shrank, and a plain read would mix two versions. So the
// file is copied while its identity (inode, size, times) stays the same, and copied again
// when it changed meanwhile; what is left is a parse error at worst, never a signal.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "MappedFile.h"
#include "platform/Expected.h"

namespace nw {

struct SnapshotError {
    enum class Side { Source, Copy };
    Side side = Side::Source;  // the directory file could not be read, or the copy not made
    std::string message;       // for a person: "cannot open the directory file: ..."
};

class FileSnapshot {
  public:
    using Taken = kestrel::platform::Expected<FileSnapshot, SnapshotError>;
    // The copy is a file without a name in the folder of `copy` (named so only for a moment
    // where the file system cannot make those; mode 0600), so that a large directory costs
    // disk, not memory.
    static Taken inFile(const std::filesystem::path& file, const std::filesystem::path& copy);
    // The copy is kept in memory.
    static Taken inMemory(const std::filesystem::path& file);

    std::string_view bytes() const { return mapped_ ? mapped_->bytes() : std::string_view(text_); }
    // The file's device, inode, size and times when it was copied.
    const struct stat& status() const { return status_; }

  private:
    FileSnapshot() = default;
    std::optional<MappedFile> mapped_;
    std::string text_;
    struct stat status_ {};
};

}  // namespace nw
