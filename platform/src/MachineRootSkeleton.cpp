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

void setText(Registry& registry, RegistryRoot root, std::string_view key, std::string_view name,
             std::string_view text, std::uint32_t type = kRegSz) {
    registry.createKey(root, key);
    registry.setValue(root, key, name, RegistryValue::text(type, text));
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

void fillDefaultRegistry(Registry& registry, const std::string& userName,
                         const std::string& computerName) {
    const auto machine = RegistryRoot::LocalMachine;
    registry.createKey(machine, "Software\\Classes");
    setText(registry, machine, kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
    setText(registry, machine, kCurrentVersion, "CommonFilesDir",
            "C:\\Program Files\\Common Files");
    setText(registry, machine, kCurrentVersion, "MediaPath", "C:\\windows\\Media");
    setText(registry, machine, kCurrentVersionNT, "CurrentVersion", "6.3");
    setText(registry, machine, kCurrentVersionNT, "CurrentBuild", "19045");
    setText(registry, machine, kCurrentVersionNT, "CurrentBuildNumber", "19045");
    setText(registry, machine, kCurrentVersionNT, "ProductName", "Windows 10 Pro");
    setText(registry, machine, kCurrentVersionNT, "RegisteredOwner", userName);
    setText(registry, machine, kCurrentVersionNT, "RegisteredOrganization", "");
    registry.setValue(machine, kCurrentVersionNT, "CurrentMajorVersionNumber",
                      RegistryValue::dword(10));
    registry.setValue(machine, kCurrentVersionNT, "CurrentMinorVersionNumber",
                      RegistryValue::dword(0));

    // As in Wine's own prefixes, CurrentControlSet is a link to ControlSet001.
    registry.createKey(machine, "System\\ControlSet001\\Control");
    registry.createLink(machine, "System\\CurrentControlSet",
                        "\\Registry\\Machine\\System\\ControlSet001");
    setText(registry, machine, "System\\ControlSet001\\Control\\ComputerName\\ComputerName",
            "ComputerName", computerName);
    const std::string environment = "System\\ControlSet001\\Control\\Session Manager\\Environment";
    setText(registry, machine, environment, "windir", "%SystemRoot%", kRegExpandSz);
    setText(registry, machine, environment, "ComSpec", "%SystemRoot%\\system32\\cmd.exe",
            kRegExpandSz);
    setText(registry, machine, environment, "PATH",
            "%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\system32\\wbem", kRegExpandSz);
    setText(registry, machine, environment, "TEMP", "%SystemRoot%\\temp", kRegExpandSz);
    setText(registry, machine, environment, "TMP", "%SystemRoot%\\temp", kRegExpandSz);
}

}  // namespace kestrel::platform
