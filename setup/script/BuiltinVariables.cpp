#include "script/BuiltinVariables.h"

#include "platform/AsciiCase.h"

namespace kestrel::setup {

namespace {

constexpr std::size_t kBuffer = 256;
constexpr std::size_t kShortBuffer = 81;

// A variable whose value is one path: the directories the installer sets itself (which hold
// a trailing backslash), the system's places (kept without one, and places all the same) and
// the script's path.
constexpr bool kPlace = true;

struct Name {
    constexpr Name(std::string_view variable, bool isPlace = false)
        : name(variable), place(isPlace) {}
    std::string_view name;
    bool place;
};

constexpr Name kNames[] = {
    {"SetupInf", kPlace},
    {"SetupInfDir", kPlace},
    {"ProductName"},
    {"ProductNameShort"},
    {"Version"},
    {"VersionDirSuffix"},
    {"Revision"},
    {"InstalledVersion"},
    {"InstalledRevision"},
    {"DeveloperName"},
    {"DeveloperNameShort"},
    {"SetupName"},
    {"Src", kPlace},
    {"App", kPlace},
    {"Client", kPlace},
    {"ClientSrcDir", kPlace},
    {"Data", kPlace},
    {"UserKeyName"},
    {"MachineKeyName"},
    {"UninstallKeyName"},
    {"UninstallDisplayName"},
    {"UninstallString"},
    {"ReinstallString"},
    {"Option"},
    {"OptionName"},
    {"OptionText"},
    {"WindowsUser"},
    {"User"},
    {"Company"},
    {"SetupBits"},
    {"WindowsBits"},
    {"WindowsName"},
    {"WindowsVersion"},
    {"SysDate"},
    {"SysTime"},
    {"Windows", kPlace},
    {"System", kPlace},
    {"System16", kPlace},
    {"Shared", kPlace},
    {"WriteableSystem", kPlace},
    {"ProgramFilesDir", kPlace},
    {"CommonFilesDir", kPlace},
    {"MediaPath", kPlace},
    {"Fonts", kPlace},
    {"Desktop", kPlace},
    {"NetHood", kPlace},
    {"Programs", kPlace},
    {"Recent", kPlace},
    {"SendTo", kPlace},
    {"StartMenu", kPlace},
    {"Startup", kPlace},
    {"Templates", kPlace},
    {"AppData", kPlace},
    {"PrintHood", kPlace},
    {"Favorites", kPlace},
    {"Personal", kPlace},
    {"UserDesktop", kPlace},
    {"UserPrograms", kPlace},
    {"UserStartMenu", kPlace},
    {"UserStartup", kPlace},
    {"CommonDesktop", kPlace},
    {"CommonPrograms", kPlace},
    {"CommonStartMenu", kPlace},
    {"CommonStartup", kPlace},
    {"Accessories"},
    {"Games"},
    {"Multimedia"},
    {"SystemTools"},
    {"AppPaths"},
    {"ComputerName"},
    {"DomainName"},
    {"PrintServer"},
    {"PrintEnvironment"},
    {"PrintProcessorDir", kPlace},
    {"PrinterDriverDir", kPlace},
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
    for (const Name& name : kNames) {
        const bool isShort = name.name == "User" || name.name == "Company";
        entries_.push_back({name.name, isShort ? kShortBuffer : kBuffer, {}});
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
    for (const Name& known : kNames) {
        if (platform::equalsIgnoreAsciiCase(known.name, name)) return known.place;
    }
    return false;
}

}  // namespace kestrel::setup
