#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>
#include <system_error>

namespace kestrel::platform {

// A file written beside `target` before it takes the target's name (by rename or by link).
// Its name is hidden, unique, and fits wherever the target's name fits. The writer holds a
// lock on it from creation to the end, so a temporary file that nobody holds was left by a
// writer that died: making a new one first removes such leftovers of the same target, and
// crashes do not pile up files beside it.
class TemporaryFile {
  public:
    // Creates the file with `mode` (less the umask); see error().
    TemporaryFile(const std::filesystem::path& target, mode_t mode);
    // Removes the file unless it was renamed into place.
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Why the file could not be made (empty when it was).
    std::error_code error() const { return error_; }
    int descriptor() const { return fd_; }
    const std::filesystem::path& path() const { return path_; }

    std::error_code write(std::string_view content);
    // Makes the content durable and closes the descriptor (a failed close can mean lost data);
    // the lock is held until the file is renamed or removed.
    std::error_code finishWriting();
    // Renames the file to `target` and makes that durable in the folder.
    std::error_code renameTo(const std::filesystem::path& target);

  private:
    std::filesystem::path path_;
    int fd_ = -1;
    int lockFd_ = -1;  // shares the lock with fd_ and keeps it after fd_ is closed
    bool renamed_ = false;
    std::error_code error_;
};

// Removes the temporary files of `target` that no writer holds any more.
void removeLeftoverTemporaries(const std::filesystem::path& target);

// fsync of a folder after a name in it changed; best effort, as the change itself happened.
void syncFolder(const std::filesystem::path& folder);

}  // namespace kestrel::platform
