#include "components/ComponentSizes.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cstdio>

#include "platform/ProfileFunctions.h"

namespace kestrel::setup {

namespace {

// Whether the component's children are alternatives: all in one and the same group.
bool childrenAreAlternatives(const ComponentList& list, int index) {
    const std::vector<int> children = list.children(index);
    if (children.empty()) return false;
    const int group = list[children.front()].group;
    return group != kNoComponent &&
           std::ranges::all_of(children, [&](int child) { return list[child].group == group; });
}

std::int64_t total(ComponentList& list, int index) {
    std::int64_t children = 0;
    const bool alternatives = childrenAreAlternatives(list, index);
    for (int child : list.children(index)) {
        const std::int64_t size = total(list, child);
        children = alternatives ? std::max(children, size) : children + size;
    }
    list[index].size = list[index].ownSize + children;
    return list[index].size;
}

std::int64_t counted(const ComponentList& list, int index, SetupMode mode, bool maintenance) {
    const Component& component = list[index];
    std::int64_t own = 0;
    if (index == 0) {
        own = 0;
    } else if (maintenance) {
        if (component.selected != component.installed)
            own = component.selected ? component.ownSize : -component.ownSize;
    } else if (mode == SetupMode::Full ||
               (mode == SetupMode::Standard &&
                component.has(componentflag::kDefault | componentflag::kCopyAlways)) ||
               (mode == SetupMode::Custom && component.selected)) {
        own = component.ownSize;
    }
    // A change between alternatives in maintenance is one added and one removed: a sum.
    const bool alternatives = !maintenance && childrenAreAlternatives(list, index);
    std::int64_t children = 0;
    for (int child : list.children(index)) {
        const std::int64_t size = counted(list, child, mode, maintenance);
        children = alternatives ? std::max(children, size) : children + size;
    }
    return own + children;
}

std::string withDecimal(std::string text, std::string_view decimal) {
    const std::size_t point = text.find('.');
    if (point != std::string::npos) text.replace(point, 1, decimal);
    return text;
}

std::string printed(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

constexpr double kKilo = 1024.0;
constexpr double kMega = 1048576.0;

}  // namespace

void computeSizes(ComponentList& list, const OwnSize& ownSize) {
    for (int i = 1; i < list.size(); ++i) list[i].ownSize = ownSize(list, i);
    total(list, 0);
}

std::int64_t neededSize(const ComponentList& list, SetupMode mode, bool maintenance) {
    return counted(list, 0, mode, maintenance);
}

std::int64_t freeSpace(const platform::MachineRoot& machine, std::string_view directory) {
    if (directory.starts_with("\\\\")) return kUncFreeSpace;
    if (directory.size() < 2 || directory[1] != ':') return 0;
    const std::string root = std::string(directory.substr(0, 2)) + "\\";
    const std::optional<std::filesystem::path> host = machine.hostPath(root);
    struct statvfs facts {};
    if (!host || ::statvfs(host->c_str(), &facts) != 0) return 0;
    return static_cast<std::int64_t>(facts.f_bavail) * static_cast<std::int64_t>(facts.f_frsize);
}

std::string decimalSeparator(const platform::MachineRoot& machine) {
    return platform::getProfileString(machine.profileFile("win.ini"), "intl", "sDecimal", ".", 8);
}

std::string modeSizeText(std::int64_t bytes, std::string_view decimal) {
    if (bytes < 1024) return std::to_string(bytes) + " Bytes";
    const double value = static_cast<double>(bytes);
    if (bytes < 1048576) return withDecimal(printed("%.0lf KB", value / kKilo), decimal);
    return withDecimal(printed("%.0lf MB", value / kMega), decimal);
}

std::string pageSizeText(std::int64_t bytes, std::string_view decimal) {
    const double value = static_cast<double>(bytes);
    if (bytes < 1048576) {
        // Less than half a kilobyte freed is nothing, not "-0".
        const double kilo = value / kKilo;
        return withDecimal(printed("%.0lf KB  ", kilo > -0.5 && kilo < 0.5 ? 0.0 : kilo), decimal);
    }
    return withDecimal(printed("%.1lf MB  ", value / kMega), decimal);
}

}  // namespace kestrel::setup
