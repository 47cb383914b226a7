#include "script/SystemVariables.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/AsciiCase.h"
#include "platform/ProfileFunctions.h"
#include "script/SystemDate.h"
#include "system/PrintEnvironment.h"

namespace kestrel::setup {

namespace {

using platform::MachineRoot;
using platform::RegistryRoot;
using platform::ShellFolder;

constexpr std::string_view kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";

std::string machineValue(const MachineRoot& machine, std::string_view key, std::string_view name,
                         std::string fallback) {
    platform::RegistryValue value;
    if (machine.registry().queryValue(RegistryRoot::LocalMachine, key, name, &value) == 0 &&
        platform::isStringType(value.type) && !value.textValue().empty()) {
        return platform::ansiCodePage(machine.registry()).fromUtf8(value.textValue());
    }
    return fallback;
}

std::string infString(const MachineRoot& machine, const char* file, const char* key) {
    const std::filesystem::path path = machine.profileFile(std::string("INF\\") + file);
    return platform::getProfileString(path, "Strings", key, "C:", 256);
}

// The system directory, unless it lies outside the Windows directory and we cannot write
// to it: then the Windows directory.
std::string writeableSystem(const MachineRoot& machine) {
    const std::string system = machine.systemDirectory();
    if (platform::startsWithIgnoreAsciiCase(system, machine.windowsDirectory() + "\\"))
        return system;
    const auto host = machine.hostPath(system);
    if (host) {
        const std::filesystem::path probe = *host / "~setup.tmp";
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
            return system;
        }
    }
    return machine.windowsDirectory();
}

struct FolderVariable {
    const char* variable;
    ShellFolder folder;
    const char* serviceKey;  // the key in WIN.INI [SetupService]
};

constexpr FolderVariable kFolders[] = {
    {"Fonts", ShellFolder::Fonts, "Fonts"},
    {"Desktop", ShellFolder::Desktop, "Desktop"},
    {"NetHood", ShellFolder::NetHood, "NetHood"},
    {"Programs", ShellFolder::Programs, "Programs"},
    {"Recent", ShellFolder::Recent, "Recent"},
    {"SendTo", ShellFolder::SendTo, "SendTo"},
    {"StartMenu", ShellFolder::StartMenu, "Start Menu"},
    {"Startup", ShellFolder::Startup, "Startup"},
    {"Templates", ShellFolder::Templates, "Templates"},
    {"AppData", ShellFolder::AppData, "AppData"},
    {"PrintHood", ShellFolder::PrintHood, "PrintHood"},
    {"Favorites", ShellFolder::Favorites, "Favorites"},
    {"Personal", ShellFolder::Personal, "Personal"},
};

// The four folders that exist for the user and for all users.
constexpr std::pair<const char*, ShellFolder> kLinkFolders[] = {
    {"Desktop", ShellFolder::Desktop},
    {"Programs", ShellFolder::Programs},
    {"StartMenu", ShellFolder::StartMenu},
    {"Startup", ShellFolder::Startup},
};

// Print directories as the spooler gives them for an environment (empty: its own).
std::string printDirectory(const MachineRoot& machine, const std::string& server,
                           const std::string& environment, const char* kind) {
    const PrintEnvironment* known =
        environment.empty() ? &rootPrintEnvironment(machine) : findPrintEnvironment(environment);
    // One the spooler does not know is taken for its own.
    if (known == nullptr) known = &rootPrintEnvironment(machine);
    if (!server.empty()) {
        return server + "\\" + (std::string(kind) == "drivers" ? "print$" : "prtprocs$") + "\\" +
               std::string(known->folder);
    }
    // 95/98 keep printing files in the system folder itself.
    if (!machine.windowsVersion().isNT()) return machine.systemDirectory();
    return spoolDirectory(machine) + "\\" + kind + "\\" + std::string(known->folder);
}

}  // namespace

void initialiseSystemVariables(BuiltinVariables& variables, const MachineRoot& machine,
                               std::time_t start) {
    const platform::WindowsVersion version = machine.windowsVersion();
    const std::filesystem::path winIni = machine.profileFile("win.ini");
    variables.set("SetupBits", "32");
    variables.set("WindowsBits", "32");
    variables.set("WindowsName", version.isNT() ? "Windows NT" : "Windows");
    variables.set("WindowsVersion",
                  std::to_string(version.major) + "." + std::to_string(version.minor));

    std::tm local{};
    ::localtime_r(&start, &local);
    const SystemDate dates(machine);
    variables.set("SysDate", dates.date(local));
    variables.set("SysTime", dates.time(local));

    const std::string windows = machine.windowsDirectory();
    variables.set("Windows", windows);
    variables.set("System", machine.systemDirectory());
    variables.set("System16", version.isNT() ? windows + "\\System" : machine.systemDirectory());
    variables.set("Shared", machineValue(machine, std::string(kCurrentVersion) + "\\Setup",
                                         "SharedDir", windows));
    variables.set("WriteableSystem", writeableSystem(machine));
    // A 32-bit program on a 64-bit system gets the "(x86)" folders here.
    const std::string_view x86 = machine.is64Bit() ? " (x86)" : "";
    variables.set("ProgramFilesDir", machineValue(machine, kCurrentVersion,
                                                  "ProgramFilesDir" + std::string(x86), "C:"));
    variables.set("CommonFilesDir", machineValue(machine, kCurrentVersion,
                                                 "CommonFilesDir" + std::string(x86), windows));
    variables.set("MediaPath", machineValue(machine, kCurrentVersion, "MediaPath", "C:"));
    variables.set("AppPaths", "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths");
    // The registry and the login name speak UTF-8; variables hold installer text.
    const platform::CodePage& codePage = platform::ansiCodePage(machine.registry());
    variables.set("ComputerName", codePage.fromUtf8(machine.computerName()));
    variables.set("DomainName",
                  version.isNT()
                      ? "WORKGROUP"
                      : machineValue(machine, "System\\CurrentControlSet\\Services\\VxD\\VNETSUP",
                                     "Workgroup", ""));

    // The user the run works for, and that user's folders.
    const auto service = [&](const char* key, const std::string& fallback) {
        const std::string given =
            platform::getProfileString(winIni, "SetupService", key, fallback, 256);
        return given == fallback ? given : codePage.fromUtf8OrBytes(given);
    };
    const std::string serviceUser = service("WindowsUser", "");
    variables.set("WindowsUser",
                  serviceUser.empty() ? codePage.fromUtf8(machine.userName()) : serviceUser);
    for (const FolderVariable& entry : kFolders) {
        std::string folder = machine.shellFolder(entry.folder, false);
        if (!serviceUser.empty()) folder = service(entry.serviceKey, folder);
        variables.set(entry.variable, folder);
    }
    for (const auto& [name, folder] : kLinkFolders) {
        variables.set(std::string("User") + name, variables.value(name));
        variables.set(std::string("Common") + name, machine.shellFolder(folder, true));
    }

    if (version.isNT()) {
        variables.set("Accessories", infString(machine, "SYSSETUP.INF", "Accessories"));
        variables.set("Games", infString(machine, "SYSSETUP.INF", "Accessories_Games"));
        variables.set("Multimedia", infString(machine, "SYSSETUP.INF", "Accessories_Multimedia"));
        variables.set("SystemTools", infString(machine, "SYSSETUP.INF", "Admintools"));
    } else {
        const bool win98 = version.major == 4 && version.minor == 10;
        variables.set("Accessories",
                      infString(machine, win98 ? "SHELL.INF" : "APPLETS.INF", "Accessories"));
        variables.set("Games", infString(machine, "SHELL.INF", "ACCESSGAMES"));
        variables.set("Multimedia", infString(machine, "SHELL.INF", "ACCESSMMEDIA"));
        variables.set("SystemTools", infString(machine, "SHELL.INF", "ACCESSSYSTOOLS"));
    }
}

void applySettingsToVariables(BuiltinVariables& variables, const ApplicationSettings& settings,
                              const MachineRoot& machine) {
    const char* prefix = settings.commonShellLinks ? "Common" : "User";
    for (const auto& [name, folder] : kLinkFolders) {
        variables.set(name, variables.value(std::string(prefix) + name));
    }
    variables.set("PrintProcessorDir", printDirectory(machine, settings.printServer,
                                                      settings.printEnvironment, "prtprocs"));
    variables.set("PrinterDriverDir", printDirectory(machine, settings.printServer,
                                                     settings.printEnvironment, "drivers"));
}

}  // namespace kestrel::setup
