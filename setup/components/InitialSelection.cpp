#include "components/InitialSelection.h"

#include "components/ComponentSelection.h"

namespace kestrel::setup {

namespace {

RecordedOption readerOf(const RegistryReader& registry, platform::RegistryRoot root,
                        std::string key) {
    return [&registry, root, key = std::move(key)](std::string_view component) {
        std::string text;
        if (registry.readText(root, key, component, &text) != 0)
            return std::optional<std::string>();
        return std::optional<std::string>(std::move(text));
    };
}

}  // namespace

SelectionStart selectionStartOf(const RunState& run, bool askOptions,
                                const std::string& machineKeyName, const RegistryReader& registry) {
    SelectionStart start;
    const bool fromRecords = run.uninstall || run.repeat || run.maintenance;
    start.everything = (run.admin || run.workstation || run.client) && !askOptions && !fromRecords;
    if (machineKeyName.empty()) return start;
    const std::string key = "Software\\" + machineKeyName + "\\Setup\\Options";
    if (run.perUserPart) {
        start.machineRecorded = readerOf(registry, platform::RegistryRoot::LocalMachine, key);
        if (fromRecords)
            start.recorded = readerOf(registry, platform::RegistryRoot::CurrentUser, key);
    } else if (fromRecords) {
        start.recorded = readerOf(registry, platform::RegistryRoot::LocalMachine, key);
    }
    return start;
}

void applyInitialSelection(ComponentList& list, const SelectionStart& start) {
    using namespace componentflag;
    for (int i = 1; i < list.size(); ++i) {
        Component& component = list[i];
        if (start.recorded) {
            const bool installed = start.recorded(component.name) == "1";
            component.installed = installed;
            if (installed) {
                component.flags |= kDefault;
            } else {
                component.flags &= ~(kDefault | kCopyAlways);
            }
        }
        component.selected = start.everything || component.has(kDefault | kCopyAlways);
        if (start.machineRecorded && start.machineRecorded(component.name) != "1") {
            component.selected = false;
            component.flags |= kHidden;
        }
    }
    settleDependenciesAndGroups(list);
}

}  // namespace kestrel::setup
