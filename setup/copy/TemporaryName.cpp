#include "copy/TemporaryName.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace kestrel::setup::copy {

namespace {

constexpr std::size_t kMaxFileName = 255;     // bytes of one name on the host
constexpr std::size_t kMaxWindowsPath = 259;  // characters of a Windows path
constexpr std::size_t kSuffixLength = 4;      // ".000"

// Cuts a UTF-8 name to at most `length` bytes without splitting a character.
std::string cutName(std::string name, std::size_t length) {
    if (name.size() <= length) return name;
    while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) --length;
    name.resize(length);
    return name;
}

}  // namespace

std::filesystem::path temporaryName(const std::filesystem::path& destination,
                                    std::size_t windowsLength, int number) {
    const std::string fileName = destination.filename().string();
    std::string base = destination.stem().string();
    // The room the base has on the Windows side: the directory's part of the path is the
    // destination's length without its file name.
    const std::size_t directoryLength = windowsLength - std::min(windowsLength, fileName.size());
    const std::size_t windowsRoom = kMaxWindowsPath - std::min(kMaxWindowsPath, directoryLength);
    const std::size_t room = std::min(kMaxFileName, std::max(windowsRoom, fileName.size()));
    base = cutName(std::move(base), room > kSuffixLength ? room - kSuffixLength : 1);
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, ".%03d", number % kTemporaryNames);
    return destination.parent_path() / (base + suffix);
}

}  // namespace kestrel::setup::copy
