// One log opened for one line. Several copies of the logger, also on other machines sharing
// the log directory, write to the same files at once; none may lose, merge or interleave
// lines:
//  * a missing log is created complete with its header: the header goes into a temporary file
//    that is then linked to the log's name, which fails when another copy created it first,
//    so the header is written exactly once;
//  * each line reaches the file in one write() on an O_APPEND descriptor, under a short
//    advisory lock, since on NFS O_APPEND alone is not atomic between machines;
//  * a copy killed inside its write may leave the start of a line: the next line ends it
//    first, so that no two records run together.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::rclog {

using Pause = std::function<void(std::chrono::milliseconds)>;

inline constexpr int kLogAttempts = 5;
inline constexpr std::chrono::milliseconds kLogRetryWait{500};

class LogFile {
  public:
    // Opens the log for appending, creating it with `header` when missing. A file that another
    // copy holds or that cannot be created gets five tries, each failure followed by `pause`
    // of 500 ms; nullopt after the fifth.
    static std::optional<LogFile> open(const std::filesystem::path& path, const std::string& header,
                                       const Pause& pause);
    // Makes sure the log exists as a regular file this program may write to, creating it
    // with `header`; the same tries as open().
    static bool check(const std::filesystem::path& path, const std::string& header,
                      const Pause& pause);

    LogFile(LogFile&& other) noexcept;
    LogFile& operator=(LogFile&& other) noexcept;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    ~LogFile();

    // Appends the whole line in one write; false when it could not be written completely.
    bool append(std::string_view line);

  private:
    explicit LogFile(int fd) : fd_(fd) {}

    int fd_ = -1;
};

}  // namespace kestrel::rclog
