#include "MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace nw {

kestrel::platform::Expected<MappedFile, std::string> MappedFile::map(int fd) {
    MappedFile mapped;
    if (::fstat(fd, &mapped.status_) != 0 || !S_ISREG(mapped.status_.st_mode))
        return kestrel::platform::unexpected(std::string(
            S_ISREG(mapped.status_.st_mode) ? std::strerror(errno) : "not a regular file"));
    mapped.size_ = static_cast<std::size_t>(mapped.status_.st_size);
    if (mapped.size_ > 0) {
        void* data = ::mmap(nullptr, mapped.size_, PROT_READ, MAP_PRIVATE, fd, 0);
        if (data == MAP_FAILED)
            return kestrel::platform::unexpected(std::string(std::strerror(errno)));
        ::madvise(data, mapped.size_, MADV_SEQUENTIAL);
        mapped.data_ = static_cast<const char*>(data);
    }
    return mapped;
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      status_(other.status_) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        if (data_ != nullptr) ::munmap(const_cast<char*>(data_), size_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        status_ = other.status_;
    }
    return *this;
}

MappedFile::~MappedFile() {
    if (data_ != nullptr) ::munmap(const_cast<char*>(data_), size_);
}

}  // namespace nw
