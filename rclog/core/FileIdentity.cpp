#include "FileIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace kestrel::rclog {

namespace {

// A descriptor closed on every way out.
class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const std::filesystem::path& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
    ~ReadOnlyFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool regularOfSize(off_t& size) const {
        struct stat status {};
        if (fd_ < 0 || ::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) return false;
        size = status.st_size;
        return true;
    }
    // Fills `buffer` as far as the file goes; -1 on a read error.
    ssize_t readFull(char* buffer, std::size_t size) const {
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = ::read(fd_, buffer + got, size - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return -1;
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        return static_cast<ssize_t>(got);
    }

  private:
    int fd_;
};

}  // namespace

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool sameContent(const std::filesystem::path& a, const std::filesystem::path& b) {
    const ReadOnlyFile first(a);
    const ReadOnlyFile second(b);
    off_t firstSize = 0;
    off_t secondSize = 0;
    // Different sizes settle it without reading a byte, as they do for any real viewer.
    if (!first.regularOfSize(firstSize) || !second.regularOfSize(secondSize) ||
        firstSize != secondSize)
        return false;
    std::array<char, 65536> one{};
    std::array<char, 65536> two{};
    for (;;) {
        const ssize_t n = first.readFull(one.data(), one.size());
        if (n < 0 || second.readFull(two.data(), two.size()) != n) return false;
        if (n == 0) return true;
        if (std::memcmp(one.data(), two.data(), static_cast<std::size_t>(n)) != 0) return false;
    }
}

}  // namespace kestrel::rclog
