#include "MachineSnapshot.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <vector>

#include "platform/AtomicFile.h"

namespace kestrel::setup::test {

namespace fs = std::filesystem;
using platform::RegistryRoot;

namespace {

constexpr std::size_t kShownContent = 200;  // longer contents are shown by size and hash

// Printable ASCII as it is, everything else as \xNN.
std::string escaped(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\\') {
            text += c;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            text += hex;
        }
    }
    return text;
}

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string contentOf(const fs::path& file) {
    const std::optional<std::string> content = platform::readWholeFile(file);
    if (!content) return "unreadable";
    if (content->size() <= kShownContent) return "\"" + escaped(*content) + "\"";
    char summary[64];
    std::snprintf(summary, sizeof summary, "%zu bytes, hash %016llx", content->size(),
                  static_cast<unsigned long long>(fnv1a(*content)));
    return summary;
}

// " name=value" for every extended attribute, in name order.
std::string attributesOf(const fs::path& path) {
    const ssize_t size = ::llistxattr(path.c_str(), nullptr, 0);
    if (size <= 0) return "";
    std::vector<char> list(static_cast<std::size_t>(size));
    if (::llistxattr(path.c_str(), list.data(), list.size()) != size) return " attributes?";
    std::set<std::string> names;
    for (std::size_t start = 0; start < list.size();) {
        std::string name(list.data() + start);
        start += name.size() + 1;
        names.insert(std::move(name));
    }
    std::string text;
    for (const std::string& name : names) {
        const ssize_t length = ::lgetxattr(path.c_str(), name.c_str(), nullptr, 0);
        std::string value(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
        if (length > 0 &&
            ::lgetxattr(path.c_str(), name.c_str(), value.data(), value.size()) != length) {
            value = "?";
        }
        text += " " + name + "=" + escaped(value);
    }
    return text;
}

std::string modeOf(const struct stat& status) {
    char mode[16];
    std::snprintf(mode, sizeof mode, "mode %04o", static_cast<unsigned>(status.st_mode & 07777));
    return mode;
}

// The hive files, which the registry entries stand for. Nothing beside them (a lock file,
// say) may stay behind a run.
bool isHiveFile(const fs::path& relative) {
    static const std::set<std::string> names = {"system.reg", "user.reg", "userdef.reg"};
    return relative.has_filename() && relative.parent_path().empty() &&
           names.count(relative.filename().string()) > 0;
}

std::string valueText(const platform::RegistryValue& value) {
    switch (value.type) {
        case platform::kRegSz:
        case platform::kRegExpandSz:
        case platform::kRegMultiSz:
            return "type " + std::to_string(value.type) + " \"" + escaped(value.textValue()) + "\"";
        case platform::kRegDword:
            if (value.data.size() == 4) return "dword " + std::to_string(value.dwordValue());
            [[fallthrough]];
        default:
            return "type " + std::to_string(value.type) + " " + escaped(value.data);
    }
}

void addKey(const platform::Registry& registry, RegistryRoot root, const std::string& rootName,
            const std::string& path, std::map<std::string, std::string>& entries) {
    std::vector<std::string> values;
    std::vector<std::string> subkeys;
    platform::RegistryKeyInfo info;
    if (registry.valueNames(root, path, &values) != 0 ||
        registry.subkeyNames(root, path, &subkeys) != 0 ||
        registry.queryKeyInfo(root, path, &info) != 0) {
        return;
    }
    const std::string name = path.empty() ? rootName : rootName + "\\" + path;
    entries["key " + name] = info.isVolatile ? "volatile" : "";
    for (const std::string& value : values) {
        platform::RegistryValue data;
        if (registry.queryValue(root, path, value, &data) == 0) {
            entries["value " + name + ":" + value] = valueText(data);
        }
    }
    for (const std::string& subkey : subkeys) {
        addKey(registry, root, rootName, path.empty() ? subkey : path + "\\" + subkey, entries);
    }
}

}  // namespace

MachineSnapshot MachineSnapshot::take(const platform::MachineRoot& machine) {
    MachineSnapshot snapshot;
    snapshot.addFiles(machine.prefix());
    snapshot.addRegistry(machine.registry());
    return snapshot;
}

void MachineSnapshot::addFiles(const fs::path& prefix) {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(prefix, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        const fs::path relative = path.lexically_relative(prefix);
        if (isHiveFile(relative)) continue;
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0) {
            entries_["unreadable " + relative.string()] = "";
            continue;
        }
        const std::string attributes = modeOf(status) + attributesOf(path);
        if (S_ISLNK(status.st_mode)) {
            entries_["link " + relative.string()] = "-> " + fs::read_symlink(path, ec).string();
        } else if (S_ISDIR(status.st_mode)) {
            entries_["folder " + relative.string()] = attributes;
        } else if (S_ISREG(status.st_mode)) {
            entries_["file " + relative.string()] =
                attributes + " time " + std::to_string(status.st_mtim.tv_sec) + "." +
                std::to_string(status.st_mtim.tv_nsec) + " " + contentOf(path);
        } else {
            entries_["special " + relative.string()] = modeOf(status);
        }
    }
    if (ec) entries_["unreadable " + prefix.string()] = ec.message();
}

void MachineSnapshot::addRegistry(const platform::Registry& registry) {
    addKey(registry, RegistryRoot::LocalMachine, "HKLM", "", entries_);
    addKey(registry, RegistryRoot::Users, "HKU", "", entries_);
}

MachineSnapshot& MachineSnapshot::withoutWineSessionState() {
    // Plug and play: the devices, their classes and drivers, which Wine's device manager
    // finds anew (numbered in the order they come up) whenever a session starts.
    static const std::string kDeviceKeys[] = {
        "HKLM\\System\\CurrentControlSet\\Control\\Video",
        "HKLM\\System\\CurrentControlSet\\Control\\Class",
        "HKLM\\System\\CurrentControlSet\\Control\\DeviceClasses",
        "HKLM\\System\\CurrentControlSet\\Enum"};
    // The menu entries Wine's menu builder writes down for each user, when a session got as
    // far as starting it.
    static const std::string kMenuFiles = "\\Software\\Wine\\MenuFiles";
    std::erase_if(entries_, [](const auto& entry) {
        const std::string& name = entry.first;
        const std::string_view key = std::string_view(name).substr(name.find(' ') + 1);
        return std::ranges::any_of(
                   kDeviceKeys,
                   [&key](const std::string& device) { return key.starts_with(device); }) ||
               (key.starts_with("HKU\\") && key.find(kMenuFiles) != std::string_view::npos);
    });
    return *this;
}

std::string MachineSnapshot::differencesTo(const MachineSnapshot& later) const {
    const auto line = [](const char* sign, const auto& entry) {
        return sign + entry.first + (entry.second.empty() ? "" : " = " + entry.second) + "\n";
    };
    std::string text;
    auto before = entries_.begin();
    auto after = later.entries_.begin();
    while (before != entries_.end() || after != later.entries_.end()) {
        if (after == later.entries_.end() ||
            (before != entries_.end() && before->first < after->first)) {
            text += line("- ", *before++);
        } else if (before == entries_.end() || after->first < before->first) {
            text += line("+ ", *after++);
        } else {
            if (before->second != after->second) text += line("- ", *before) + line("+ ", *after);
            ++before;
            ++after;
        }
    }
    return text;
}

}  // namespace kestrel::setup::test
