#include "script/RegistryReader.h"

#include "platform/AsciiCase.h"

namespace kestrel::setup {

std::optional<platform::RegistryRoot> registryRootOfName(std::string_view name) {
    using platform::RegistryRoot;
    struct Entry {
        std::string_view name;
        RegistryRoot root;
    };
    static constexpr Entry kRoots[] = {
        {"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
        {"HKCR", RegistryRoot::ClassesRoot},
        {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
        {"HKCU", RegistryRoot::CurrentUser},
        {"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
        {"HKLM", RegistryRoot::LocalMachine},
        {"HKEY_USERS", RegistryRoot::Users},
        {"HKU", RegistryRoot::Users},
        {"HKEY_PERFORMANCE_DATA", RegistryRoot::PerformanceData},
        {"HKPD", RegistryRoot::PerformanceData},
        {"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig},
        {"HKCC", RegistryRoot::CurrentConfig},
        {"HKEY_DYN_DATA", RegistryRoot::DynData},
        {"HKDD", RegistryRoot::DynData},
    };
    for (const Entry& entry : kRoots) {
        if (platform::equalsIgnoreAsciiCase(entry.name, name)) return entry.root;
    }
    return std::nullopt;
}

}  // namespace kestrel::setup
