#include "platform/MachineRoot.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "MachineRootSkeleton.h"
#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/PercentReferences.h"
#include "platform/Places.h"
#include "platform/WineServer.h"
#include "platform/WineTools.h"

namespace kestrel::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kShellFolderKeys[] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
};

struct ShellFolderNames {
    std::string_view user;
    std::string_view common;  // empty: the system has no all-users folder of this kind
};

ShellFolderNames shellFolderNames(ShellFolder folder) {
    switch (folder) {
        case ShellFolder::Desktop:
            return {"Desktop", "Common Desktop"};
        case ShellFolder::NetHood:
            return {"NetHood", ""};
        case ShellFolder::Programs:
            return {"Programs", "Common Programs"};
        case ShellFolder::Recent:
            return {"Recent", ""};
        case ShellFolder::SendTo:
            return {"SendTo", ""};
        case ShellFolder::StartMenu:
            return {"Start Menu", "Common Start Menu"};
        case ShellFolder::Startup:
            return {"Startup", "Common Startup"};
        case ShellFolder::Templates:
            return {"Templates", "Common Templates"};
        case ShellFolder::AppData:
            return {"AppData", "Common AppData"};
        case ShellFolder::PrintHood:
            return {"PrintHood", ""};
        case ShellFolder::Favorites:
            return {"Favorites", "Common Favorites"};
        case ShellFolder::Personal:
            return {"Personal", "Common Documents"};
        case ShellFolder::Fonts:
            return {"Fonts", ""};
    }
    return {};
}

std::string loginName() {
    if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') return user;
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_name) {
        return entry->pw_name;
    }
    return "user";
}

std::string hostComputerName() {
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0) return "LOCALHOST";
    std::string result(name.data());
    result = result.substr(0, result.find('.')).substr(0, 15);
    return result.empty() ? "LOCALHOST" : asciiUpper(result);
}

// winecfg's names for the Windows versions it can pretend to be.
std::optional<WindowsVersion> versionFromWineName(std::string_view name) {
    struct Entry {
        std::string_view name;
        WindowsVersion version;
    };
    using enum WindowsFamily;
    static constexpr Entry kVersions[] = {
        {"win95", {Windows9x, 4, 0}},     {"win98", {Windows9x, 4, 10}},
        {"winme", {Windows9x, 4, 90}},    {"nt351", {WindowsNT, 3, 51}},
        {"nt40", {WindowsNT, 4, 0}},      {"win2k", {WindowsNT, 5, 0}},
        {"winxp", {WindowsNT, 5, 1}},     {"winxp64", {WindowsNT, 5, 2}},
        {"win2003", {WindowsNT, 5, 2}},   {"vista", {WindowsNT, 6, 0}},
        {"win2008", {WindowsNT, 6, 0}},   {"win7", {WindowsNT, 6, 1}},
        {"win2008r2", {WindowsNT, 6, 1}}, {"win8", {WindowsNT, 6, 2}},
        {"win81", {WindowsNT, 6, 3}},     {"win10", {WindowsNT, 10, 0}},
        {"win11", {WindowsNT, 10, 0}},
    };
    for (const Entry& entry : kVersions) {
        if (equalsIgnoreAsciiCase(entry.name, name)) return entry.version;
    }
    return std::nullopt;
}

// "major.minor[.build]"
std::optional<std::pair<int, int>> parseVersionText(std::string_view text) {
    int major = 0, minor = 0;
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && major < 1000) {
        major = major * 10 + (text[pos++] - '0');
    }
    if (pos == 0 || pos >= text.size() || text[pos] != '.') return std::nullopt;
    const std::size_t start = ++pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && minor < 1000) {
        minor = minor * 10 + (text[pos++] - '0');
    }
    if (pos == start) return std::nullopt;
    return std::pair{major, minor};
}

// The "#arch=" line before the first key of a hive file; win32 where none says win64.
WindowsArchitecture hiveArchitecture(const fs::path& hive) {
    const std::string text = readWholeFile(hive).value_or("");
    const std::string_view header = std::string_view(text).substr(0, text.find("\n["));
    return header.find("\n#arch=win64") != std::string_view::npos ? WindowsArchitecture::Win64
                                                                  : WindowsArchitecture::Win32;
}

// When the server cannot be used, the hive files will do while no server runs; with one,
// nothing we wrote would last. The attempt itself may have started one, which ends a few
// seconds later.
Expected<void, std::string> keepToFiles(const fs::path& prefix, const fs::path& serverDirectory,
                                        const std::string& why) {
    using namespace std::chrono_literals;
    if (waitForWineServer(prefix, serverDirectory, 20s) != WineServerWait::Ended)
        return unexpected("cannot reach the registry of the running Wine: " + why);
    std::fprintf(stderr, "warning: the registry is kept in the hive files: %s\n", why.c_str());
    return {};
}

Expected<std::unique_ptr<Registry>, std::string> openFiles(const fs::path& prefix,
                                                           const fs::path& serverDirectory) {
    auto registry = Registry::open(prefix, serverDirectory);
    if (!registry) return unexpected(registry.error().describe());
    return std::move(registry.value());
}

Expected<std::unique_ptr<Registry>, std::string> openThroughServerOrFiles(
    const fs::path& prefix, const MachineRootOptions& options) {
    auto through =
        Registry::openThroughServer(prefix, options.serverDirectory, options.registryHelper);
    if (through) return std::move(through.value());
    if (auto kept = keepToFiles(prefix, options.serverDirectory, through.error()); !kept)
        return unexpected(kept.error());
    return openFiles(prefix, options.serverDirectory);
}

}  // namespace

fs::path MachineRoot::defaultPrefix() {
    return winePrefix();
}

MachineRoot::MachineRoot(fs::path prefix, std::string userName, fs::path serverDirectory,
                         std::unique_ptr<Registry> registry, WindowsArchitecture architecture)
    : prefix_(std::move(prefix)),
      userName_(std::move(userName)),
      serverDirectory_(std::move(serverDirectory)),
      registry_(std::move(registry)),
      architecture_(architecture) {}

Expected<std::unique_ptr<MachineRoot>, std::string> MachineRoot::open(const fs::path& prefix,
                                                                      MachineRootOptions options) {
    std::error_code ec;
    const fs::path absolutePrefix = fs::absolute(prefix, ec);
    if (ec) return unexpected("cannot use " + prefix.string() + ": " + ec.message());
    std::string userName = options.userName.empty() ? loginName() : options.userName;
    if (options.serverDirectory.empty()) options.serverDirectory = defaultWineServerDirectory();
    const auto cannotCreate = [&absolutePrefix](const std::string& reason) {
        return unexpected("cannot create the machine root " + absolutePrefix.string() + ": " +
                          reason);
    };
    if (options.newRoot == NewRoot::WineWhereInstalled && wineInstalled() &&
        !fs::exists(absolutePrefix / "system.reg", ec)) {
        if (auto failed = makePrefixWithWine(absolutePrefix, options.serverDirectory))
            return cannotCreate(*failed);
    }
    const bool freshRegistry = !fs::exists(absolutePrefix / "system.reg", ec);
    if (freshRegistry) {
        const WindowsArchitecture made = options.architecture.value_or(hostWindowsArchitecture());
        if (std::error_code created = createSkeletonHives(absolutePrefix, made))
            return cannotCreate(created.message());
    }
    const WindowsArchitecture architecture = hiveArchitecture(absolutePrefix / "system.reg");
    if (std::error_code created = createSkeletonFolders(absolutePrefix, userName, architecture))
        return cannotCreate(created.message());
    const bool throughServer = !options.registryHelper.empty() &&
                               architecture == WindowsArchitecture::Win64 && wineInstalled();
    // While a server runs for the prefix, it is the registry from the start; while none
    // does, the hive files are, until one runs (Registry::useWineServerOnceItRuns).
    const bool joinServer = throughServer && !freshRegistry &&
                            platform::wineServerRunning(absolutePrefix, options.serverDirectory);
    auto registry = joinServer ? openThroughServerOrFiles(absolutePrefix, options)
                               : openFiles(absolutePrefix, options.serverDirectory);
    if (!registry) return unexpected(registry.error());
    std::unique_ptr<MachineRoot> root(new MachineRoot(absolutePrefix, std::move(userName),
                                                      options.serverDirectory,
                                                      std::move(registry.value()), architecture));
    if (freshRegistry) {
        if (const long error = fillDefaultRegistry(root->registry(), root->userName_,
                                                   hostComputerName(), architecture)) {
            return unexpected("cannot fill the registry of " + absolutePrefix.string() +
                              ": error " + std::to_string(error));
        }
        if (auto saved = root->registry().save(); !saved)
            return unexpected(saved.error().describe());
    }
    if (throughServer && !root->registry().throughWineServer())
        root->registry().useWineServerOnceItRuns(options.registryHelper);
    return root;
}

RegistryLocation MachineRoot::registryView(RegistryRoot root, std::string_view path) const {
    return is64Bit() ? redirectFor32BitProgram(root, path)
                     : RegistryLocation{root, std::string(path)};
}

WindowsVersion MachineRoot::windowsVersion() const {
    RegistryValue value;
    for (const RegistryRoot root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine}) {
        if (registry_->querySetting(root, "Software\\Wine", "Version", &value) == 0) {
            if (auto version = versionFromWineName(value.textValue())) return *version;
        }
    }
    const auto machine = RegistryRoot::LocalMachine;
    constexpr std::string_view nt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
    RegistryValue minor;
    if (registry_->querySetting(machine, nt, "CurrentMajorVersionNumber", &value) == 0 &&
        registry_->querySetting(machine, nt, "CurrentMinorVersionNumber", &minor) == 0) {
        return {WindowsFamily::WindowsNT, static_cast<int>(value.dwordValue()),
                static_cast<int>(minor.dwordValue())};
    }
    if (registry_->querySetting(machine, nt, "CurrentVersion", &value) == 0) {
        if (auto parsed = parseVersionText(value.textValue())) {
            return {WindowsFamily::WindowsNT, parsed->first, parsed->second};
        }
    }
    if (registry_->querySetting(machine, "Software\\Microsoft\\Windows\\CurrentVersion",
                                "VersionNumber", &value) == 0) {
        if (auto parsed = parseVersionText(value.textValue())) {
            return {WindowsFamily::Windows9x, parsed->first, parsed->second};
        }
    }
    return {};
}

std::string MachineRoot::expandRootEnvironment(std::string_view text) const {
    const std::string profile = profileDirectoryUtf8();
    const std::pair<std::string_view, std::string> variables[] = {
        {"USERPROFILE", profile},
        {"APPDATA", profile + "\\AppData\\Roaming"},
        {"LOCALAPPDATA", profile + "\\AppData\\Local"},
        {"TEMP", profile + "\\AppData\\Local\\Temp"},
        {"TMP", profile + "\\AppData\\Local\\Temp"},
        {"ALLUSERSPROFILE", "C:\\ProgramData"},
        {"PROGRAMDATA", "C:\\ProgramData"},
        {"PUBLIC", "C:\\users\\Public"},
        {"SYSTEMROOT", windowsDirectory()},
        {"WINDIR", windowsDirectory()},
        {"SYSTEMDRIVE", "C:"},
        {"HOMEDRIVE", "C:"},
        {"HOMEPATH", "\\users\\" + userName_},
        {"USERNAME", userName_},
        {"PROGRAMFILES", programFilesDirectory()},
        {"COMMONPROGRAMFILES", programFilesDirectory() + "\\Common Files"},
    };
    return expandPercentReferences(text, [&](std::string_view name) -> std::optional<std::string> {
        const auto* match = std::ranges::find_if(
            variables, [&](const auto& entry) { return equalsIgnoreAsciiCase(entry.first, name); });
        if (match == std::end(variables)) return std::nullopt;
        return match->second;
    });
}

std::string MachineRoot::profileDirectory() const {
    return ansiCodePage(*registry_).fromUtf8(profileDirectoryUtf8());
}

std::string MachineRoot::defaultShellFolder(ShellFolder folder, bool common) const {
    const std::string profile = profileDirectoryUtf8();
    const std::string roaming = profile + "\\AppData\\Roaming\\Microsoft\\Windows";
    const std::string allUsers = "C:\\ProgramData\\Microsoft\\Windows";
    switch (folder) {
        case ShellFolder::Desktop:
            return common ? "C:\\users\\Public\\Desktop" : profile + "\\Desktop";
        case ShellFolder::NetHood:
            return roaming + "\\Network Shortcuts";
        case ShellFolder::Programs:
            return (common ? allUsers : roaming) + "\\Start Menu\\Programs";
        case ShellFolder::Recent:
            return roaming + "\\Recent";
        case ShellFolder::SendTo:
            return roaming + "\\SendTo";
        case ShellFolder::StartMenu:
            return (common ? allUsers : roaming) + "\\Start Menu";
        case ShellFolder::Startup:
            return (common ? allUsers : roaming) + "\\Start Menu\\Programs\\Startup";
        case ShellFolder::Templates:
            return (common ? allUsers : roaming) + "\\Templates";
        case ShellFolder::AppData:
            return common ? "C:\\ProgramData" : profile + "\\AppData\\Roaming";
        case ShellFolder::PrintHood:
            return roaming + "\\Printer Shortcuts";
        case ShellFolder::Favorites:
            return common ? "C:\\users\\Public\\Favorites" : profile + "\\Favorites";
        case ShellFolder::Personal:
            return common ? "C:\\users\\Public\\Documents" : profile + "\\Documents";
        case ShellFolder::Fonts:
            return windowsDirectory() + "\\Fonts";
    }
    return profile;
}

std::string MachineRoot::shellFolder(ShellFolder folder, bool common) const {
    const ShellFolderNames names = shellFolderNames(folder);
    const bool useCommon = common && !names.common.empty() && windowsVersion().isNT();
    const RegistryRoot root = useCommon ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser;
    RegistryValue value;
    for (const std::string_view key : kShellFolderKeys) {
        if (registry_->queryValue(root, key, useCommon ? names.common : names.user, &value) == 0 &&
            isStringType(value.type)) {
            std::string path = expandRootEnvironment(value.textValue());
            while (path.size() > 3 && path.back() == '\\') path.pop_back();
            if (!path.empty()) return ansiCodePage(*registry_).fromUtf8(path);
        }
    }
    return ansiCodePage(*registry_).fromUtf8(defaultShellFolder(folder, useCommon));
}

std::string MachineRoot::computerName() const {
    RegistryValue value;
    if (registry_->queryValue(RegistryRoot::LocalMachine,
                              "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
                              "ComputerName", &value) == 0 &&
        !value.textValue().empty()) {
        return value.textValue();
    }
    return hostComputerName();
}

std::vector<fs::path> MachineRoot::keptFolders() const {
    const std::string windows = windowsDirectory();
    std::vector<std::string> places{"C:\\",
                                    "Z:\\",
                                    windows,
                                    windows + "\\system32",
                                    windows + "\\syswow64",
                                    windows + "\\system",
                                    windows + "\\Fonts",
                                    windows + "\\HELP",
                                    windows + "\\temp",
                                    "C:\\Program Files",
                                    "C:\\Program Files\\Common Files",
                                    "C:\\Program Files (x86)",
                                    "C:\\Program Files (x86)\\Common Files",
                                    "C:\\ProgramData",
                                    "C:\\users",
                                    "C:\\users\\Public",
                                    profileDirectory()};
    // Every folder of the enumeration, whose last member is Fonts.
    for (int folder = 0; folder <= static_cast<int>(ShellFolder::Fonts); ++folder) {
        for (const bool common : {false, true})
            places.push_back(shellFolder(static_cast<ShellFolder>(folder), common));
    }
    std::vector<fs::path> folders{prefix_};
    for (const std::string& place : places) {
        if (auto host = hostPath(place)) folders.push_back(std::move(*host));
    }
    return folders;
}

WindowsPathMap MachineRoot::paths() const {
    return {prefix_, ansiCodePage(*registry_), folderNames_};
}

std::optional<fs::path> MachineRoot::hostPath(std::string_view windowsPath,
                                              std::string_view base) const {
    return paths().hostPath(windowsPath, base);
}

std::string MachineRoot::windowsPath(const fs::path& hostPath) const {
    return paths().windowsPath(hostPath);
}

std::string MachineRoot::shortPath(std::string_view windowsPath) const {
    return paths().shortPath(windowsPath);
}

fs::path MachineRoot::profileFile(std::string_view name) const {
    const bool bare = name.find_first_of("\\/:") == std::string_view::npos;
    const std::string windowsName =
        bare ? windowsDirectory() + "\\" + std::string(name) : std::string(name);
    return hostPath(windowsName).value_or(fs::path());
}

Expected<void, std::string> MachineRoot::goThroughServer() {
    auto through = registry_->goThroughServer();
    if (through) return {};
    return keepToFiles(prefix_, serverDirectory_, through.error());
}

bool MachineRoot::wineServerRunning() const {
    return platform::wineServerRunning(prefix_, serverDirectory_);
}

WineServerWait MachineRoot::waitForWineServer(std::chrono::milliseconds timeout,
                                              const std::function<bool()>& cancelled) const {
    return platform::waitForWineServer(prefix_, serverDirectory_, timeout, cancelled);
}

}  // namespace kestrel::platform
