// A file mapped read-only into memory: the snapshot of the directory file is read through the
// page cache instead of being copied into the process.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace nw {

class MappedFile {
  public:
    // Maps a file open for reading (the descriptor stays the caller's); the reason (strerror
    // text) when it cannot be mapped.
    static kestrel::platform::Expected<MappedFile, std::string> map(int fd);
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    std::string_view bytes() const { return {data_, size_}; }
    // What the file was when it was mapped: device, inode, size, times.
    const struct stat& status() const { return status_; }

  private:
    MappedFile() = default;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    struct stat status_ {};
};

}  // namespace nw
