// A file mapped read-only into memory: the directory file is read through the page cache
// instead of being copied into the process.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace nw {

class MappedFile {
  public:
    // The reason (strerror text) when the file cannot be opened or mapped.
    static kestrel::platform::Expected<MappedFile, std::string> open(
        const std::filesystem::path& file);
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
