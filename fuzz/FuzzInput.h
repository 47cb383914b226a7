// What every fuzzing program needs around its reader: the input as text, and as a file for
// readers that take a path. The file is an anonymous memory file of this process, so runs in
// parallel never share one and nothing is left in the tree.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace kestrel::fuzz {

inline std::string_view text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The bytes as a file that lives as long as this object, reachable by path.
class MemoryFile {
  public:
    MemoryFile(const std::uint8_t* data, std::size_t size) : fd_(::memfd_create("fuzz", 0)) {
        if (fd_ < 0) std::abort();  // the harness itself is broken, not the reader
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd_, data + done, size - done);
            if (n <= 0) std::abort();
            done += static_cast<std::size_t>(n);
        }
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    ~MemoryFile() { ::close(fd_); }

    std::filesystem::path path() const { return "/proc/self/fd/" + std::to_string(fd_); }

  private:
    int fd_;
};

// Splits the input at its first NUL: a short parameter (a name, a key) and the data.
inline std::pair<std::string_view, std::string_view> splitAtNul(std::string_view input) {
    const auto at = input.find('\0');
    if (at == std::string_view::npos) return {{}, input};
    return {input.substr(0, at), input.substr(at + 1)};
}

}  // namespace kestrel::fuzz
