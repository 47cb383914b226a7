// What a new machine root gets: the folders and drive links of a Wine prefix and the
// registry keys programs expect on any Windows system.
#include "MachineRootSkeleton.h"

#include "platform/Places.h"
#include "platform/WineDrives.h"

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

}  // namespace

std::error_code createSkeletonFolders(const fs::path& prefix, const std::string& userName) {
    const fs::path driveC = prefix / "drive_c";
    const fs::path roaming =
        driveC / "users" / userName / "AppData" / "Roaming" / "Microsoft" / "Windows";
    const fs::path common = driveC / "ProgramData" / "Microsoft" / "Windows";
    const WineDrives drives(prefix);
    const fs::path folders[] = {
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
    for (const fs::path& folder : folders) {
        if (std::error_code ec = ensureDirectory(folder)) return ec;
    }
    return drives.createDefaultDrives();
}

long fillDefaultRegistry(Registry& registry, const std::string& userName,
                         const std::string& computerName) {
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
    keep(setText(registry, machine, kCurrentVersionNT, "CurrentVersion", "6.3"));
    keep(setText(registry, machine, kCurrentVersionNT, "CurrentBuild", "19045"));
    keep(setText(registry, machine, kCurrentVersionNT, "CurrentBuildNumber", "19045"));
    keep(setText(registry, machine, kCurrentVersionNT, "ProductName", "Windows 10 Pro"));
    keep(setText(registry, machine, kCurrentVersionNT, "RegisteredOwner", userName));
    keep(setText(registry, machine, kCurrentVersionNT, "RegisteredOrganization", ""));
    keep(registry.setValue(machine, kCurrentVersionNT, "CurrentMajorVersionNumber",
                           RegistryValue::dword(10)));
    keep(registry.setValue(machine, kCurrentVersionNT, "CurrentMinorVersionNumber",
                           RegistryValue::dword(0)));

    // As in Wine's own prefixes, CurrentControlSet is a link to ControlSet001.
    keep(registry.createKey(machine, "System\\ControlSet001\\Control"));
    keep(registry.createLink(machine, "System\\CurrentControlSet",
                             "\\Registry\\Machine\\System\\ControlSet001"));
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
