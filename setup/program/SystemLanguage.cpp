#include "program/SystemLanguage.h"

#include "platform/RootProgramSearch.h"
#include "platform/VersionInfo.h"

namespace kestrel::setup {

std::optional<platform::LanguageId> systemLanguage(const platform::MachineRoot& machine) {
    const auto found = platform::findOnRootSearchPath(machine, "User.exe");
    if (!found) return std::nullopt;
    const auto host = machine.hostPath(*found);
    if (!host) return std::nullopt;
    const auto info = platform::VersionInfo::read(*host);
    if (!info || info->translations().empty()) return std::nullopt;
    return platform::LanguageId{info->translations().front().language};
}

}  // namespace kestrel::setup
