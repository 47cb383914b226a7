#pragma once

#include <sys/types.h>

#include <filesystem>
#include <system_error>

namespace kestrel::platform {

// Exclusive lock for a read-modify-write cycle on `target`: holds flock() on
// "<target>.lock" (created when missing, never removed, so every process locks the same
// inode) until destroyed. Blocks until the lock is granted.
class FileLock {
  public:
    explicit FileLock(const std::filesystem::path& target);
    // The same, with a lock file of exactly `mode` (an existing one of ours loses any
    // permission beyond it): beside a private file, its lock is private too.
    FileLock(const std::filesystem::path& target, std::filesystem::perms mode);
    // Holds flock() on the folder that holds `target` instead: nothing is made beside the
    // file, which matters where other programs list the folder (a machine root's Windows
    // folder). Serialises every such cycle on files of that folder; atomic replacements
    // inside it do not change the folder's inode.
    static FileLock onFolderOf(const std::filesystem::path& target);
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
    FileLock() = default;
    void acquire(const std::filesystem::path& path, int flags, mode_t mode = 0644);
    bool restrictMode(mode_t mode);
    void release();

    int fd_ = -1;
    std::error_code error_;
};

}  // namespace kestrel::platform
