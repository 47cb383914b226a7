#include "copy/FileDestination.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "platform/AsciiCase.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup {

namespace {

using platform::isWindowsPathSeparator;
using platform::joinWindowsPath;

// Destinations and sources come from the script, which may write '/' between names.
constexpr auto kSeparators = platform::PathSeparators::BackslashOrSlash;

struct PrefixRow {
    std::initializer_list<std::string_view> variables;
    std::initializer_list<std::string_view> prefixes;
    int components;
};

const std::array<PrefixRow, 9>& prefixRows() {
    static const std::array<PrefixRow, 9> rows = {{
        {{"Windows"}, {"Windows\\"}, 1},
        {{"System", "PrintProcessorDir", "PrinterDriverDir"},
         {"Windows\\System\\", "Windows\\System32\\"},
         2},
        {{"System16"}, {"Windows\\System\\", "Windows\\System16\\"}, 2},
        {{"Fonts"}, {"Windows\\Fonts\\"}, 2},
        {{"Data"}, {"Data\\"}, 1},
        {{"Personal"}, {"Personal\\"}, 1},
        {{"Templates"}, {"Windows\\ShellNew\\"}, 2},
        {{"MediaPath"}, {"Windows\\Media\\"}, 2},
        {{"CommonFilesDir"}, {"Common\\", "CommonFilesDir\\"}, 1},
    }};
    return rows;
}

// An unset or empty variable names no directory (it would otherwise match every path).
bool beginsWithVariable(std::string_view path, std::string_view name,
                        const VariableLookup& variables) {
    const std::optional<std::string> value = variables(name);
    return value && !value->empty() && platform::startsWithIgnoreAsciiCase(path, *value);
}

std::string_view dropComponents(std::string_view path, int count) {
    for (; count > 0; --count) {
        const auto separator = std::ranges::find_if(path, isWindowsPathSeparator);
        if (separator == path.end()) break;
        path.remove_prefix(static_cast<std::size_t>(separator - path.begin()) + 1);
    }
    return path;
}

bool isRelative(std::string_view path) {
    const bool drive = path.size() >= 2 && path[1] == ':';
    return !drive && (path.empty() || !isWindowsPathSeparator(path[0]));
}

}  // namespace

std::string sourceWithoutPrefix(std::string_view source, std::string_view destination,
                                const VariableLookup& variables, bool admin) {
    if (admin) return std::string(source);
    int components = 0;
    for (const PrefixRow& row : prefixRows()) {
        const bool destinationFits = std::ranges::any_of(row.variables, [&](std::string_view name) {
            return beginsWithVariable(destination, name, variables);
        });
        const bool sourceFits = std::ranges::any_of(row.prefixes, [&](std::string_view prefix) {
            return platform::startsWithIgnoreAsciiCase(source, prefix);
        });
        if (destinationFits && sourceFits) components = std::max(components, row.components);
    }
    return std::string(dropComponents(source, components));
}

bool inSystemPlace(std::string_view destination, const VariableLookup& variables) {
    if (beginsWithVariable(destination, "System", variables) ||
        beginsWithVariable(destination, "CommonFilesDir", variables))
        return true;
    const std::optional<std::string> windows = variables("Windows");
    if (!windows || windows->empty() || !platform::startsWithIgnoreAsciiCase(destination, *windows))
        return false;
    return !platform::startsWithIgnoreAsciiCase(destination.substr(windows->size()), "\\Profiles");
}

bool hasRefusedCharacter(std::string_view windowsPath) {
    return std::ranges::any_of(windowsPath, [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 32 || std::string_view("\"*?<>|").find(c) != std::string_view::npos;
    });
}

std::string resolveDestination(const FileLine& line, std::string_view destination,
                               const DestinationPlaces& places,
                               const std::function<bool(const std::string&)>& isDirectory) {
    const bool toSetupDirectory = (line.flags.file & fileflag::kSetup) && places.setupDirectory;
    std::string path;
    if (toSetupDirectory)
        path = joinWindowsPath(*places.setupDirectory,
                               platform::fileNamePart(destination, kSeparators));
    else if (isRelative(destination))
        path = joinWindowsPath(places.baseDirectory, destination);
    else
        path = std::string(destination);
    const bool namesDirectory = destination.empty() || isWindowsPathSeparator(path.back()) ||
                                platform::fileNamePart(destination, kSeparators).empty() ||
                                isDirectory(path);
    if (!namesDirectory) return path;
    const bool bare = line.flags.attributes & attrflag::kUseFileName;
    return joinWindowsPath(path, bare ? platform::fileNamePart(line.source, kSeparators)
                                      : std::string_view(line.source));
}

}  // namespace kestrel::setup
