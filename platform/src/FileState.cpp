#include "FileState.h"

#include <fcntl.h>
#include <sys/xattr.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "JournalRecord.h"

namespace kestrel::platform {

namespace {

constexpr std::string_view kUserPrefix = "user.";

// The user.* attributes of a path (not following a final link), name to value.
std::map<std::string, std::string> userAttributes(const std::filesystem::path& path) {
    std::map<std::string, std::string> attributes;
    ssize_t size = ::llistxattr(path.c_str(), nullptr, 0);
    if (size <= 0) return attributes;
    std::vector<char> names(static_cast<std::size_t>(size));
    size = ::llistxattr(path.c_str(), names.data(), names.size());
    if (size <= 0) return attributes;
    for (std::size_t at = 0; at < static_cast<std::size_t>(size);) {
        const std::string name(names.data() + at);
        at += name.size() + 1;
        if (name.compare(0, kUserPrefix.size(), kUserPrefix) != 0) continue;
        const ssize_t length = ::lgetxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (length < 0) continue;
        std::string value(static_cast<std::size_t>(length), '\0');
        if (::lgetxattr(path.c_str(), name.c_str(), value.data(), value.size()) == length)
            attributes.emplace(name, std::move(value));
    }
    return attributes;
}

// A number of a record; nullopt for anything else (a journal damaged by hand, say).
std::optional<long long> number(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string failed(const std::string& what, const std::filesystem::path& path) {
    return "cannot " + what + " " + path.string() + ": " + std::strerror(errno);
}

}  // namespace

std::string modeText(const struct stat& status) {
    return std::to_string(status.st_mode & 07777);
}

std::string timesText(const struct stat& status) {
    return std::to_string(status.st_atim.tv_sec) + "," + std::to_string(status.st_atim.tv_nsec) +
           "," + std::to_string(status.st_mtim.tv_sec) + "," +
           std::to_string(status.st_mtim.tv_nsec);
}

std::string xattrText(const std::filesystem::path& path) {
    std::string text;
    for (const auto& [name, value] : userAttributes(path))
        text += (text.empty() ? "" : ",") + name + "=" + hexOf(value);
    return text;
}

bool restoreMode(const std::filesystem::path& path, std::string_view mode, std::string* why) {
    const std::optional<long long> bits = number(mode);
    if (!bits) {
        *why = "no mode to give back to " + path.string();
        return false;
    }
    if (::chmod(path.c_str(), static_cast<mode_t>(*bits & 07777)) == 0) return true;
    *why = failed("set the mode of", path);
    return false;
}

bool restoreTimes(const std::filesystem::path& path, std::string_view times, std::string* why) {
    long long parts[4] = {0, 0, 0, 0};
    std::size_t part = 0;
    for (std::size_t at = 0; part < 4 && at <= times.size(); ++part) {
        const std::size_t comma = std::min(times.find(',', at), times.size());
        const std::optional<long long> value = number(times.substr(at, comma - at));
        if (!value) break;
        parts[part] = *value;
        at = comma + 1;
    }
    if (part != 4) {
        *why = "no times to give back to " + path.string();
        return false;
    }
    const timespec both[2] = {{static_cast<time_t>(parts[0]), static_cast<long>(parts[1])},
                              {static_cast<time_t>(parts[2]), static_cast<long>(parts[3])}};
    if (::utimensat(AT_FDCWD, path.c_str(), both, AT_SYMLINK_NOFOLLOW) == 0) return true;
    *why = failed("set the times of", path);
    return false;
}

bool restoreXattrs(const std::filesystem::path& path, std::string_view xattrs, std::string* why) {
    std::map<std::string, std::string> wanted;
    for (std::size_t at = 0; at < xattrs.size();) {
        const std::size_t comma = std::min(xattrs.find(',', at), xattrs.size());
        const std::string_view entry = xattrs.substr(at, comma - at);
        const std::size_t equals = entry.find('=');
        if (equals != std::string_view::npos)
            wanted.emplace(std::string(entry.substr(0, equals)),
                           bytesOfHex(entry.substr(equals + 1)));
        at = comma + 1;
    }
    bool done = true;
    for (const auto& [name, value] : userAttributes(path)) {
        if (wanted.count(name) == 0 && ::lremovexattr(path.c_str(), name.c_str()) != 0) {
            *why = failed("remove " + name + " of", path);
            done = false;
        }
    }
    for (const auto& [name, value] : wanted) {
        if (::lsetxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) != 0) {
            *why = failed("set " + name + " of", path);
            done = false;
        }
    }
    return done;
}

}  // namespace kestrel::platform
