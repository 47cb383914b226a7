// What a new machine root gets: the folders and drive links of a Wine prefix and the
// registry keys programs expect on any Windows system.
#include "MachineRootSkeleton.h"

#include <chrono>
#include <utility>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/Places.h"
#include "platform/WineDrives.h"
#include "platform/WineServer.h"
#include "platform/WineTools.h"

namespace kestrel::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::string_view kCurrentVersionNT = "Software\\Microsoft\\Windows NT\\CurrentVersion";

long setText(Registry& registry, RegistryRoot root, std::string_view key, std::string_view name,
             std::string_view text, std::uint32_t type = kRegSz) {
    if (const long error = registry.createKey(root, key)) return error;
    return registry.setValue(root, key, name, RegistryValue::text(type, text));
}

// The folder as the prefix already has it: a component that exists in another case (Wine
// writes "StartUp") is taken as it is, so that no second folder is made beside it.
fs::path inExistingCase(const fs::path& prefix, const fs::path& folder) {
    fs::path path = prefix;
    for (const fs::path& part : folder.lexically_relative(prefix)) {
        fs::path next = path / part;
        std::error_code ec;
        if (!fs::exists(next, ec)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(path, ec)) {
                if (equalsIgnoreAsciiCase(entry.path().filename().string(), part.string())) {
                    next = entry.path();
                    break;
                }
            }
        }
        path = std::move(next);
    }
    return path;
}

}  // namespace

WindowsArchitecture hostWindowsArchitecture() {
    return sizeof(void*) == 8 ? WindowsArchitecture::Win64 : WindowsArchitecture::Win32;
}

std::error_code createSkeletonHives(const fs::path& prefix, WindowsArchitecture architecture) {
    if (std::error_code ec = ensureDirectory(prefix)) return ec;
    const std::pair<std::string_view, std::string> hives[] = {
        {"system.reg", "REGISTRY\\\\Machine"},
        {"user.reg", "REGISTRY\\\\User\\\\" + std::string(Registry::kDefaultUserSid)},
        {"userdef.reg", "REGISTRY\\\\User\\\\.Default"},
    };
    for (const auto& [name, relativeTo] : hives) {
        const fs::path file = prefix / name;
        std::error_code ec;
        const bool exists = fs::exists(file, ec);
        if (ec) return ec;
        if (exists) continue;
        const std::string header =
            "WINE REGISTRY Version 2\n;; All keys relative to " + relativeTo +
            "\n\n#arch=" + (architecture == WindowsArchitecture::Win64 ? "win64" : "win32") + "\n";
        if (std::error_code written = writeFileAtomically(file, header)) return written;
    }
    return {};
}

std::optional<std::string> makePrefixWithWine(const fs::path& prefix,
                                              const fs::path& serverDirectory) {
    using namespace std::chrono_literals;
    const WineToolResult made = runWineTool({"wineboot", "--init"}, prefix, 10min);
    if (!made.finished() || made.exitCode != 0) {
        return "Wine could not make the prefix (wineboot --init " +
               std::string(made.finished() ? "failed" : "did not finish") + ")";
    }
    // Its server stays a few seconds and would write the registry over ours.
    if (waitForWineServer(prefix, serverDirectory, 1min) != WineServerWait::Ended) {
        return "the wineserver that made the prefix does not end";
    }
    return std::nullopt;
}

std::error_code createSkeletonFolders(const fs::path& prefix, const std::string& userName,
                                      WindowsArchitecture architecture) {
    const fs::path driveC = prefix / "drive_c";
    const fs::path roaming =
        driveC / "users" / userName / "AppData" / "Roaming" / "Microsoft" / "Windows";
    const fs::path common = driveC / "ProgramData" / "Microsoft" / "Windows";
    const WineDrives drives(prefix);
    std::vector<fs::path> folders = {
        drives.dosdevices(),
        driveC / "windows" / "system32",
        driveC / "windows" / "Fonts",
        driveC / "windows" / "inf",
        driveC / "windows" / "temp",
        driveC / "Program Files" / "Common Files",
        driveC / "users" / userName / "Desktop",
        driveC / "users" / userName / "Documents",
        driveC / "users" / userName / "Favorites",
        roaming / "Start Menu" / "Programs" / "Startup",
        roaming / "Recent",
        roaming / "SendTo",
        roaming / "Templates",
        roaming / "Network Shortcuts",
        roaming / "Printer Shortcuts",
        common / "Start Menu" / "Programs" / "Startup",
        driveC / "users" / "Public" / "Desktop",
    };
    if (architecture == WindowsArchitecture::Win64) {  // 32-bit programs on a 64-bit system
        folders.push_back(driveC / "windows" / "syswow64");
        folders.push_back(driveC / "Program Files (x86)" / "Common Files");
    }
    for (const fs::path& folder : folders) {
        if (std::error_code ec = ensureDirectory(inExistingCase(prefix, folder))) return ec;
    }
    return drives.createDefaultDrives();
}

long fillDefaultRegistry(Registry& registry, const std::string& userName,
                         const std::string& computerName, WindowsArchitecture architecture) {
    const auto machine = RegistryRoot::LocalMachine;
    long firstError = 0;
    const auto keep = [&firstError](long error) {
        if (firstError == 0) firstError = error;
    };
    keep(registry.createKey(machine, "Software\\Classes"));
    keep(setText(registry, machine, kCurrentVersion, "ProgramFilesDir", "C:\\Program Files"));
    keep(setText(registry, machine, kCurrentVersion, "CommonFilesDir",
                 "C:\\Program Files\\Common Files"));
    keep(setText(registry, machine, kCurrentVersion, "MediaPath", "C:\\windows\\Media"));
    if (architecture == WindowsArchitecture::Win64) {
        keep(setText(registry, machine, kCurrentVersion, "ProgramFilesDir (x86)",
                     "C:\\Program Files (x86)"));
        keep(setText(registry, machine, kCurrentVersion, "CommonFilesDir (x86)",
                     "C:\\Program Files (x86)\\Common Files"));
    }
    // The version Wine's own setup writes at a prefix's first start (and at every update),
    // so Wine finds it as it would have made it and the root's version stays what it was.
    keep(setText(registry, machine, kCurrentVersionNT, "CurrentVersion", "6.1"));
    keep(setText(registry, machine, kCurrentVersionNT, "CurrentBuild", "7601"));
    keep(setText(registry, machine, kCurrentVersionNT, "CurrentBuildNumber", "7601"));
    keep(setText(registry, machine, kCurrentVersionNT, "CSDVersion", "Service Pack 1"));
    keep(setText(registry, machine, kCurrentVersionNT, "ProductName", "Microsoft Windows 7"));
    keep(setText(registry, machine, kCurrentVersionNT, "RegisteredOwner", userName));
    keep(setText(registry, machine, kCurrentVersionNT, "RegisteredOrganization", ""));

    // As in Wine's own prefixes, CurrentControlSet is a link to ControlSet001.
    keep(registry.createKey(machine, "System\\ControlSet001\\Control"));
    keep(registry.createLink(machine, "System\\CurrentControlSet",
                             "\\Registry\\Machine\\System\\ControlSet001"));
    // The event logs every Windows system has, which installations add sources to.
    for (const char* log : {"Application", "System"})
        keep(registry.createKey(machine,
                                std::string("System\\ControlSet001\\Services\\Eventlog\\") + log));
    keep(setText(registry, machine, "System\\ControlSet001\\Control\\ComputerName\\ComputerName",
                 "ComputerName", computerName));
    const std::string environment = "System\\ControlSet001\\Control\\Session Manager\\Environment";
    keep(setText(registry, machine, environment, "windir", "%SystemRoot%", kRegExpandSz));
    keep(setText(registry, machine, environment, "ComSpec", "%SystemRoot%\\system32\\cmd.exe",
                 kRegExpandSz));
    keep(setText(registry, machine, environment, "PATH",
                 "%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\system32\\wbem", kRegExpandSz));
    keep(setText(registry, machine, environment, "TEMP", "%SystemRoot%\\temp", kRegExpandSz));
    keep(setText(registry, machine, environment, "TMP", "%SystemRoot%\\temp", kRegExpandSz));
    return firstError;
}

}  // namespace kestrel::platform
