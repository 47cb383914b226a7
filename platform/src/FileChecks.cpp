#include "platform/FileChecks.h"

#include <unistd.h>

namespace kestrel::platform {

bool isRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool isDirectory(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

bool isExecutableFile(const std::filesystem::path& path) {
    return isRegularFile(path) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace kestrel::platform
