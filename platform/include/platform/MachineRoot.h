#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Expected.h"
#include "platform/Registry.h"
#include "platform/WindowsPathMap.h"
#include "platform/WineServer.h"
#include "platform/Wow64Registry.h"

namespace kestrel::platform {

enum class WindowsFamily { Windows9x, WindowsNT };

struct WindowsVersion {
    WindowsFamily family = WindowsFamily::WindowsNT;
    int major = 10;
    int minor = 0;
    bool isNT() const { return family == WindowsFamily::WindowsNT; }
};

// The per-user and all-users folders of the shell.
enum class ShellFolder {
    Desktop,
    NetHood,
    Programs,
    Recent,
    SendTo,
    StartMenu,
    Startup,
    Templates,
    AppData,
    PrintHood,
    Favorites,
    Personal,
    Fonts,
};

// What the root's Windows runs on, from the system hive's "#arch=" line.
enum class WindowsArchitecture { Win32, Win64 };

// How a missing machine root is made.
enum class NewRoot {
    Skeleton,            // by us: what Wine would make on this host, without running it
    WineWhereInstalled,  // by Wine (wineboot --init) where it is installed, else the skeleton
};

struct MachineRootOptions {
    // The Windows user; default: the login name.
    std::string userName;
    // Where wineservers keep their socket folders (default /tmp).
    std::filesystem::path serverDirectory;
    NewRoot newRoot = NewRoot::Skeleton;
    // Of a skeleton we make; default: the host's, as Wine makes it (win64 on 64-bit hosts).
    std::optional<WindowsArchitecture> architecture = std::nullopt;
    // The Windows program through which the registry goes while Wine runs for the root
    // (kestrel-registry.exe, see Registry::useWineServer). Where Wine is installed and the
    // root is one it runs that program on (win64), the root starts it when a server runs (at
    // open, or later, see Registry::useWineServerOnceItRuns) or before its first Windows
    // program, and keeps it running to the end, and with it the prefix's wineserver, which
    // then is the registry. Until then, or with no helper, the hive files are the registry,
    // which Windows programs get before they start and give back after.
    std::filesystem::path registryHelper = {};
};

// A Windows installation kept in a Wine prefix: drives through dosdevices/, the folders of
// drive_c/, the hive files. Every path the installer handles is a Windows path; this class
// turns them into host paths (each component found without regard to case, new ones kept
// as written) and host paths into Windows paths as `winepath -w` does. What Windows the root
// is (NT or 95/98, major.minor) is read from its registry, so one prefix can play either.
// The Windows paths it takes and gives (hostPath, windowsPath, shortPath, profileFile,
// profileDirectory, shellFolder) are the installer's text: bytes in the root's ANSI code page
// (ansiCodePage), as a Windows program speaking bytes has them. Host paths are UTF-8, as Linux and
// Wine keep file names; these functions convert between the two. The registry-side functions
// (expandRootEnvironment, computerName, userName) speak UTF-8, as Registry does.
class MachineRoot {
  public:
    // $WINEPREFIX, else ~/.wine.
    static std::filesystem::path defaultPrefix();

    // Opens the prefix, creating what is missing of it: a prefix without registry made as
    // `options.newRoot` says, then whatever folders and drive links of the skeleton are
    // still missing, and for a registry we made ourselves the system's standard keys. Fails
    // with a readable reason.
    static Expected<std::unique_ptr<MachineRoot>, std::string> open(
        const std::filesystem::path& prefix, MachineRootOptions options = {});

    const std::filesystem::path& prefix() const { return prefix_; }
    Registry& registry() { return *registry_; }
    const Registry& registry() const { return *registry_; }
    const std::string& userName() const { return userName_; }

    // From winecfg's "Version" (HKCU or HKLM Software\Wine), else the NT or the 95/98
    // version keys; an NT system when the registry says nothing.
    WindowsVersion windowsVersion() const;
    // The installer is a 32-bit program: on a 64-bit root it sees the system as such a
    // program does, through the registry redirector (registryView), with syswow64 as its
    // system directory and Program Files (x86) as its program files.
    WindowsArchitecture architecture() const { return architecture_; }
    bool is64Bit() const { return architecture_ == WindowsArchitecture::Win64; }
    RegistryLocation registryView(RegistryRoot root, std::string_view path) const;
    std::string windowsDirectory() const { return "C:\\windows"; }
    std::string systemDirectory() const {
        return is64Bit() ? "C:\\windows\\syswow64" : "C:\\windows\\system32";
    }
    std::string programFilesDirectory() const {
        return is64Bit() ? "C:\\Program Files (x86)" : "C:\\Program Files";
    }
    // The user's profile folder; the login name in it crosses into the root's code page.
    std::string profileDirectory() const;
    // From the user's (or, with `common`, the machine's) "User Shell Folders" and "Shell
    // Folders" keys, else the prefix's standard place. 95/98 have no all-users folders: the
    // user's stand in.
    std::string shellFolder(ShellFolder folder, bool common) const;
    std::string computerName() const;
    // %NAME% references of the root's own environment (USERPROFILE, APPDATA, SystemRoot...)
    // replaced; others stay.
    std::string expandRootEnvironment(std::string_view text) const;

    // The root's Windows paths and their host files (see WindowsPathMap), in its code page.
    // Every map it gives shares one index of the folders looked in (see FolderNames).
    WindowsPathMap paths() const;
    FolderNames& folderNames() const { return *folderNames_; }
    std::optional<std::filesystem::path> hostPath(std::string_view windowsPath,
                                                  std::string_view base = {}) const;
    std::string windowsPath(const std::filesystem::path& hostPath) const;
    std::string shortPath(std::string_view windowsPath) const;
    // The host folders that removing emptied folders never takes, whatever they hold: the
    // prefix, its drives, the Windows, system, fonts, help and temporary folders, the program
    // and profile folders, and every shell folder of the user and of all users.
    std::vector<std::filesystem::path> keptFolders() const;
    // A profile (INI) file: a bare name lies in the Windows directory (win.ini, system.ini).
    std::filesystem::path profileFile(std::string_view name) const;

    // Whether a wineserver runs for the prefix (see WineServer.h); while it does, the hive
    // files must not be written (unless the registry goes through it, see
    // Registry::throughWineServer). The wait ends when it has gone, after `timeout`, or when
    // `cancelled` says so.
    bool wineServerRunning() const;
    WineServerWait waitForWineServer(std::chrono::milliseconds timeout,
                                     const std::function<bool()>& cancelled = {}) const;

    // Runs a Windows program in the root through Wine (`arguments` after "wine", such as
    // {"reg", "add", ...} or {"C:\\app\\setup.exe", "/s"}) and waits for it, at most
    // `timeout`, so that neither side loses the other's registry writes: through the server,
    // the program simply runs; with the hive files, our changes are saved first (Wine reads
    // them), then the program runs and its server is waited for (it writes the hives when it
    // ends), then the registry reads the files again. The program's exit code, or why it
    // could not run or the registry not be kept.
    Expected<int, std::string> runThroughWine(const std::vector<std::string>& arguments,
                                              std::chrono::milliseconds timeout);
    // The two halves of that bracket, for programs started some other way. Both make the
    // registry read its settings again (Registry::querySetting), which the program may change;
    // that is all they do while the registry goes through the server. Before: our changes are saved
    // when no server holds the registry (a running one would neither read nor keep them). After a
    // program that was waited for: its server is waited for and the files read again, our changes
    // not saved yet kept on top. The registry object stays the same.
    Expected<void, std::string> handRegistryToWine();
    Expected<void, std::string> takeRegistryBack();

  private:
    // Where the registry can go through the server and does not yet: it does from now on.
    // When the helper fails, the hive files stay the registry once any server it started has
    // ended (said on standard error); otherwise the reason.
    Expected<void, std::string> goThroughServer();
    MachineRoot(std::filesystem::path prefix, std::string userName,
                std::filesystem::path serverDirectory, std::unique_ptr<Registry> registry,
                WindowsArchitecture architecture);
    // The profile folder and the shell folders in it, in UTF-8 as the registry keeps them.
    std::string profileDirectoryUtf8() const { return "C:\\users\\" + userName_; }
    std::string defaultShellFolder(ShellFolder folder, bool common) const;

    std::filesystem::path prefix_;
    std::string userName_;
    std::filesystem::path serverDirectory_;
    std::unique_ptr<Registry> registry_;
    WindowsArchitecture architecture_;
    std::shared_ptr<FolderNames> folderNames_ = std::make_shared<FolderNames>();
};

}  // namespace kestrel::platform
