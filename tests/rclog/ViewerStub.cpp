// The stand-in viewer of the session tests. Appends one record to $RCLOG_VIEWER_RECORD in a
// single write: every argument followed by a NUL byte, then a line feed. With
// $RCLOG_VIEWER_PROBE set, the record starts with "present" or "absent" for that file, as
// seen while the session runs. $RCLOG_VIEWER_EXIT is the exit code.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const char* recordFile = std::getenv("RCLOG_VIEWER_RECORD");
    if (recordFile == nullptr) return 2;
    std::string record;
    if (const char* probe = std::getenv("RCLOG_VIEWER_PROBE")) {
        record += ::access(probe, F_OK) == 0 ? "present" : "absent";
        record += '\0';
    }
    for (int i = 0; i < argc; ++i) {
        record += argv[i];
        record += '\0';
    }
    record += '\n';
    const int fd = ::open(recordFile, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, record.data(), record.size()) != static_cast<ssize_t>(record.size()))
        return 3;
    ::close(fd);
    const char* exitCode = std::getenv("RCLOG_VIEWER_EXIT");
    return exitCode != nullptr ? std::atoi(exitCode) : 0;
}
