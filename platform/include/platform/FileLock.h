#pragma once

#include <filesystem>
#include <system_error>

namespace kestrel::platform {

// Exclusive lock for a read-modify-write cycle on `target`: holds flock() on
// "<target>.lock" (created when missing, never removed, so every process locks the same
// inode) until destroyed. Blocks until the lock is granted.
class FileLock {
  public:
    explicit FileLock(const std::filesystem::path& target);
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return fd_ >= 0; }
    // Why locking failed (empty when locked).
    std::error_code error() const { return error_; }

    static std::filesystem::path lockPathFor(const std::filesystem::path& target);

  private:
    void release();

    int fd_ = -1;
    std::error_code error_;
};

}  // namespace kestrel::platform
