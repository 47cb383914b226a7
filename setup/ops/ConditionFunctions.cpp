#include "ops/ConditionFunctions.h"

#include <filesystem>
#include <system_error>

#include "copy/VersionFacts.h"
#include "platform/AsciiCase.h"
#include "platform/VersionInfo.h"

namespace kestrel::setup {

namespace {

std::string fileVersion(OperationContext& context, const std::filesystem::path& file) {
    platform::MachineRoot& machine = context.registry.machine();
    const auto facts = copy::readVersionFacts(file, context.messages.strings(),
                                              platform::ansiCodePage(machine.registry()));
    if (!facts) return {};
    return facts->versionText.empty() ? platform::versionText(facts->version) : facts->versionText;
}

}  // namespace

ConditionFunction conditionFunctions(OperationContext& context) {
    return
        [&context](std::string_view name, std::string_view argument) -> std::optional<std::string> {
            const bool fileExists = platform::equalsIgnoreAsciiCase(name, "DoesFileExist");
            const bool pathExists = platform::equalsIgnoreAsciiCase(name, "DoesPathExist");
            const bool version = platform::equalsIgnoreAsciiCase(name, "FileVersion");
            if (!fileExists && !pathExists && !version) return std::nullopt;
            const auto host = context.registry.machine().hostPath(argument);
            if (version) return host ? fileVersion(context, *host) : std::string();
            std::error_code error;
            return host && std::filesystem::exists(*host, error) ? "1" : "0";
        };
}

}  // namespace kestrel::setup
