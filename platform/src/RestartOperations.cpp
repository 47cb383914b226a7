#include "platform/RestartOperations.h"

#include <chrono>
#include <system_error>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/FileAttributes.h"
#include "platform/MachineRoot.h"
#include "platform/ProfileFunctions.h"
#include "platform/WideText.h"
#include "platform/WineTools.h"

namespace kestrel::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::u16string_view kNtPrefix = u"\\??\\";
constexpr std::string_view kWininit = "WININIT.INI";
constexpr std::string_view kRenameSection = "Rename";
// A restart of a prefix takes Wine a few seconds, far longer on a busy machine.
constexpr std::chrono::minutes kWinebootTimeout{5};

std::string wininitWindowsPath(const MachineRoot& root) {
    return root.windowsDirectory() + "\\" + std::string(kWininit);
}

Expected<void, std::string> scheduleInRegistry(MachineRoot& root, std::string_view from,
                                               std::optional<std::string_view> to) {
    Registry& registry = root.registry();
    const CodePage& codePage = ansiCodePage(registry);
    std::u16string units;
    RegistryValue existing;
    if (registry.queryValue(RegistryRoot::LocalMachine, kSessionManagerKey, kPendingRenamesValue,
                            &existing) == 0) {
        if (existing.type != kRegMultiSz) {
            return unexpected(std::string(kPendingRenamesValue) + " is not a list of strings");
        }
        units = bytesToUtf16(existing.data);
        // The list's closing zero goes; the new pair ends the list with its own.
        if (!units.empty() && units.back() == u'\0') units.pop_back();
    }
    units += kNtPrefix;
    units += utf8ToUtf16(codePage.toUtf8(from));
    units += u'\0';
    if (to) {
        units += u'!';
        units += kNtPrefix;
        units += utf8ToUtf16(codePage.toUtf8(*to));
    }
    units += u'\0';
    units += u'\0';
    const RegistryValue value{kRegMultiSz, utf16ToBytes(units)};
    long error = registry.createKey(RegistryRoot::LocalMachine, kSessionManagerKey);
    if (error == 0) {
        error = registry.setValue(RegistryRoot::LocalMachine, kSessionManagerKey,
                                  kPendingRenamesValue, value);
    }
    if (error != 0) {
        return unexpected("cannot write " + std::string(kPendingRenamesValue) + " (error " +
                          std::to_string(error) + ")");
    }
    return {};
}

Expected<void, std::string> scheduleInWininit(MachineRoot& root, std::string_view from,
                                              std::optional<std::string_view> to) {
    const std::string wininit = wininitWindowsPath(root);
    const auto file = root.hostPath(wininit);
    if (!file) return unexpected("no drive for " + wininit);
    const std::string target = to ? root.shortPath(*to) : std::string("NUL");
    const std::string source = root.shortPath(from);
    if (!editProfile(*file, [&](ProfileDocument& document) {
            return document.addLine(kRenameSection, target, source);
        })) {
        return unexpected("cannot write " + file->string());
    }
    return {};
}

bool readOnly(const fs::path& file) {
    return (fileAttributes(file) & dosattr::kReadOnly) != 0;
}

bool present(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// MoveFileEx as Wine performs it: no replacing unless asked, never a directory or a read-only
// file; across devices only when copying is allowed.
void moveFile(const fs::path& from, const fs::path& to, bool replace, bool copyAllowed) {
    std::error_code ec;
    if (!present(from)) return;
    if (present(to) && (!replace || fs::is_directory(to, ec) || readOnly(to))) return;
    fs::rename(from, to, ec);
    if (ec == std::errc::cross_device_link && copyAllowed && fs::is_regular_file(from, ec)) {
        if (fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec)) fs::remove(from, ec);
    }
}

// DeleteFile: a read-only file stays.
void deleteFile(const fs::path& file) {
    std::error_code ec;
    if (fs::is_regular_file(fs::symlink_status(file, ec)) && !readOnly(file)) fs::remove(file, ec);
}

void performWininit(MachineRoot& root) {
    const std::string wininit = wininitWindowsPath(root);
    const auto file = root.hostPath(wininit);
    if (!file) return;
    const auto text = readWholeFile(*file);
    if (!text) return;
    for (const auto& [target, source] : ProfileDocument::parse(*text).entries(kRenameSection)) {
        const auto sourceFile = root.hostPath(source);
        if (!sourceFile) continue;
        if (equalsIgnoreAsciiCase(target, "NUL")) {
            deleteFile(*sourceFile);
        } else if (const auto targetFile = root.hostPath(target)) {
            moveFile(*sourceFile, *targetFile, true, true);
        }
    }
    if (const auto backup = root.hostPath(root.windowsDirectory() + "\\wininit.bak")) {
        moveFile(*file, *backup, true, false);
    }
}

std::u16string_view withoutNtPrefix(std::u16string_view path) {
    if (path.starts_with(kNtPrefix)) path.remove_prefix(kNtPrefix.size());
    return path;
}

std::optional<fs::path> hostPathOf(const MachineRoot& root, std::u16string_view path) {
    return root.hostPath(ansiCodePage(root.registry()).fromUtf8(utf16ToUtf8(path)));
}

void performPendingRenames(MachineRoot& root) {
    Registry& registry = root.registry();
    RegistryValue value;
    if (registry.queryValue(RegistryRoot::LocalMachine, kSessionManagerKey, kPendingRenamesValue,
                            &value) != 0) {
        return;
    }
    const std::u16string units = bytesToUtf16(value.data);
    // A list that is not one, or not closed by two zeros, is left alone, value and all.
    if (value.type != kRegMultiSz || units.size() < 2 || units[units.size() - 1] != u'\0' ||
        units[units.size() - 2] != u'\0') {
        return;
    }
    const std::u16string_view list = units;
    std::size_t at = 0;
    while (at < list.size() && list[at] != u'\0') {
        const std::u16string_view source = list.substr(at, list.find(u'\0', at) - at);
        const std::size_t destinationAt = at + source.size() + 1;
        if (destinationAt >= list.size()) break;
        std::u16string_view destination =
            list.substr(destinationAt, list.find(u'\0', destinationAt) - destinationAt);
        at = destinationAt + destination.size() + 1;
        const bool replace = destination.starts_with(u'!');
        if (replace) destination.remove_prefix(1);
        const auto sourceFile = hostPathOf(root, withoutNtPrefix(source));
        if (!sourceFile) continue;
        std::error_code ec;
        if (!destination.empty()) {
            if (const auto target = hostPathOf(root, withoutNtPrefix(destination))) {
                moveFile(*sourceFile, *target, replace, false);
            }
        } else if (fs::is_directory(fs::symlink_status(*sourceFile, ec))) {
            fs::remove(*sourceFile, ec);  // only when empty
        } else {
            deleteFile(*sourceFile);
        }
    }
    (void)registry.deleteValue(RegistryRoot::LocalMachine, kSessionManagerKey,
                               kPendingRenamesValue);
}

}  // namespace

Expected<void, std::string> scheduleAtRestart(MachineRoot& root, std::string_view from,
                                              std::optional<std::string_view> to) {
    if (root.windowsVersion().isNT()) return scheduleInRegistry(root, from, to);
    return scheduleInWininit(root, from, to);
}

void performRestartOperations(MachineRoot& root) {
    performWininit(root);
    performPendingRenames(root);
}

Expected<void, std::string> restartMachineRoot(MachineRoot& root) {
    if (wineInstalled()) {
        const auto booted = root.runThroughWine({"wineboot", "--restart"}, kWinebootTimeout);
        if (!booted) return unexpected("wineboot --restart: " + booted.error());
        if (*booted != 0) {
            return unexpected("wineboot --restart ended with " + std::to_string(*booted));
        }
        return {};
    }
    performRestartOperations(root);
    if (auto saved = root.registry().save(); !saved) return unexpected(saved.error().message);
    return {};
}

}  // namespace kestrel::platform
