#include "copy/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/JournaledFiles.h"

namespace kestrel::setup::copy {

namespace {

std::string systemError(int error) {
    return std::strerror(error);
}

class HostOutputFile : public OutputFile {
  public:
    HostOutputFile(int fd, std::uint64_t startLength) : fd_(fd), startLength_(startLength) {}
    ~HostOutputFile() override {
        if (fd_ >= 0) ::close(fd_);
    }
    HostOutputFile(const HostOutputFile&) = delete;
    HostOutputFile& operator=(const HostOutputFile&) = delete;

    platform::Expected<void, std::string> write(std::span<const std::byte> block) override {
        while (!block.empty()) {
            const ssize_t written = ::write(fd_, block.data(), block.size());
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) return platform::unexpected(systemError(written < 0 ? errno : EIO));
            block = block.subspan(static_cast<std::size_t>(written));
        }
        return {};
    }

    platform::Expected<void, std::string> close(bool durable) override {
        const int synced = !durable || ::fsync(fd_) == 0 ? 0 : errno;
        const int closed = ::close(fd_) == 0 ? 0 : errno;
        fd_ = -1;
        if (synced != 0 && synced != EINVAL) return platform::unexpected(systemError(synced));
        if (closed != 0) return platform::unexpected(systemError(closed));
        return {};
    }

    std::uint64_t startLength() const override { return startLength_; }

  private:
    int fd_;
    std::uint64_t startLength_;
};

}  // namespace

platform::Expected<std::unique_ptr<OutputFile>, std::error_code> HostOutputFiles::open(
    const std::filesystem::path& path, OutputMode mode) {
    platform::journaled::beforeChange(path, mode == OutputMode::Append);
    const int flags = mode == OutputMode::NewFile ? O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC
                                                  : O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC;
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) return platform::unexpected(std::error_code(errno, std::generic_category()));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISREG(info.st_mode) ? errno : EISDIR;
        ::close(fd);
        return platform::unexpected(std::error_code(error, std::generic_category()));
    }
    return std::unique_ptr<OutputFile>(
        std::make_unique<HostOutputFile>(fd, static_cast<std::uint64_t>(info.st_size)));
}

}  // namespace kestrel::setup::copy
