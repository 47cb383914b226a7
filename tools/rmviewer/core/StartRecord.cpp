#include "StartRecord.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "RemoteProgram.h"

namespace kestrel::rmviewer {

namespace {

void appendEscaped(std::string& out, const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
}

}  // namespace

std::optional<std::filesystem::path> recordFileFromEnvironment() {
    const char* value = std::getenv(kRecordVariable);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::filesystem::path(value);
}

std::string recordLine(const std::vector<std::string>& argv) {
    std::string line;
    appendEscaped(line, argv.empty() ? std::string() : fileNameOf(argv.front()));
    for (std::size_t i = 1; i < argv.size(); ++i) {
        line += '\t';
        appendEscaped(line, argv[i]);
    }
    line += '\n';
    return line;
}

std::error_code appendRecord(const std::filesystem::path& file, const std::string& line) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return std::error_code(errno, std::generic_category());
    ssize_t written;
    do {
        written = ::write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    std::error_code error;
    if (written < 0) {
        error = std::error_code(errno, std::generic_category());
    } else if (static_cast<std::size_t>(written) != line.size()) {
        error = std::make_error_code(std::errc::no_space_on_device);  // only part of the line
    }
    if (::close(fd) != 0 && !error) error = std::error_code(errno, std::generic_category());
    return error;
}

}  // namespace kestrel::rmviewer
