#include "script/BuiltinVariables.h"

#include "platform/AsciiCase.h"

namespace kestrel::setup {

namespace {

constexpr std::size_t kBuffer = 256;
constexpr std::size_t kShortBuffer = 81;

constexpr std::string_view kNames[] = {
    "SetupInf",
    "SetupInfDir",
    "ProductName",
    "ProductNameShort",
    "Version",
    "VersionDirSuffix",
    "Revision",
    "InstalledVersion",
    "InstalledRevision",
    "DeveloperName",
    "DeveloperNameShort",
    "SetupName",
    "Src",
    "App",
    "Client",
    "ClientSrcDir",
    "Data",
    "UserKeyName",
    "MachineKeyName",
    "UninstallKeyName",
    "UninstallDisplayName",
    "UninstallString",
    "ReinstallString",
    "Option",
    "OptionName",
    "OptionText",
    "WindowsUser",
    "User",
    "Company",
    "SetupBits",
    "WindowsBits",
    "WindowsName",
    "WindowsVersion",
    "SysDate",
    "SysTime",
    "Windows",
    "System",
    "System16",
    "Shared",
    "WriteableSystem",
    "ProgramFilesDir",
    "CommonFilesDir",
    "MediaPath",
    "Fonts",
    "Desktop",
    "NetHood",
    "Programs",
    "Recent",
    "SendTo",
    "StartMenu",
    "Startup",
    "Templates",
    "AppData",
    "PrintHood",
    "Favorites",
    "Personal",
    "UserDesktop",
    "UserPrograms",
    "UserStartMenu",
    "UserStartup",
    "CommonDesktop",
    "CommonPrograms",
    "CommonStartMenu",
    "CommonStartup",
    "Accessories",
    "Games",
    "Multimedia",
    "SystemTools",
    "AppPaths",
    "ComputerName",
    "DomainName",
    "PrintServer",
    "PrintEnvironment",
    "PrintProcessorDir",
    "PrinterDriverDir",
};

// The variables whose value is one path. Directories the installer sets itself hold a
// trailing backslash; the system's places are kept without one, and are places all the same.
constexpr std::string_view kPlaces[] = {
    "SetupInf",
    "SetupInfDir",
    "Src",
    "App",
    "Client",
    "ClientSrcDir",
    "Data",
    "Windows",
    "System",
    "System16",
    "Shared",
    "WriteableSystem",
    "ProgramFilesDir",
    "CommonFilesDir",
    "MediaPath",
    "Fonts",
    "Desktop",
    "NetHood",
    "Programs",
    "Recent",
    "SendTo",
    "StartMenu",
    "Startup",
    "Templates",
    "AppData",
    "PrintHood",
    "Favorites",
    "Personal",
    "UserDesktop",
    "UserPrograms",
    "UserStartMenu",
    "UserStartup",
    "CommonDesktop",
    "CommonPrograms",
    "CommonStartMenu",
    "CommonStartup",
    "PrintProcessorDir",
    "PrinterDriverDir",
};

}  // namespace

std::string withTrailingBackslash(std::string_view directory) {
    std::string result(directory);
    if (result.empty()) return result;
    while (result.size() > 1 && result.back() == '\\' && result[result.size() - 2] == '\\') {
        result.pop_back();
    }
    if (result.back() != '\\') result += '\\';
    return result;
}

BuiltinVariables::BuiltinVariables() {
    for (const std::string_view name : kNames) {
        const bool isShort = name == "User" || name == "Company";
        entries_.push_back({name, isShort ? kShortBuffer : kBuffer, {}});
    }
}

BuiltinVariables::Entry* BuiltinVariables::find(std::string_view name) {
    for (Entry& entry : entries_) {
        if (platform::equalsIgnoreAsciiCase(entry.name, name)) return &entry;
    }
    return nullptr;
}

const BuiltinVariables::Entry* BuiltinVariables::find(std::string_view name) const {
    return const_cast<BuiltinVariables*>(this)->find(name);
}

bool BuiltinVariables::has(std::string_view name) const {
    return find(name) != nullptr;
}

std::optional<std::string> BuiltinVariables::get(std::string_view name) const {
    const Entry* entry = find(name);
    if (entry == nullptr) return std::nullopt;
    return entry->value;
}

bool BuiltinVariables::set(std::string_view name, std::string_view value) {
    Entry* entry = find(name);
    if (entry == nullptr) return false;
    entry->value = std::string(value.substr(0, entry->capacity - 1));
    return true;
}

bool BuiltinVariables::setDirectory(std::string_view name, std::string_view directory) {
    return set(name, withTrailingBackslash(directory));
}

bool BuiltinVariables::holdsPlace(std::string_view name) {
    for (const std::string_view place : kPlaces) {
        if (platform::equalsIgnoreAsciiCase(place, name)) return true;
    }
    return false;
}

}  // namespace kestrel::setup
