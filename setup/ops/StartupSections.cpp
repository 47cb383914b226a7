#include "ops/StartupSections.h"

#include "messages/MessageStrings.h"
#include "ops/EnvironmentOperation.h"
#include "ops/SectionFileName.h"
#include "ops/StartupFileOperation.h"
#include "plan/SectionReader.h"
#include "platform/AsciiCase.h"

namespace kestrel::setup {

namespace {

constexpr const char* kStartupBatchFile = "C:\\AUTOEXEC.BAT";

bool isEnvironmentLine(const StartupLine& line) {
    return line.kind == StartupLine::Kind::Path || line.kind == StartupLine::Kind::Set;
}

// Where a batch section's file lies.
std::string batchFile(OperationContext& context, std::string_view section,
                      const std::string& name) {
    if (name.find_first_of("\\:") != std::string::npos) return name;
    std::string directory =
        context.expander().expand(context.script.readValue(section, "Path").value_or(""));
    if (directory.empty()) directory = context.variables.value("Client");
    if (directory.empty()) directory = "C:\\";
    if (directory.back() != '\\') directory += '\\';
    return directory + name;
}

bool isStartupBatchFile(const platform::MachineRoot& machine, const std::string& file) {
    const auto host = machine.hostPath(file);
    const auto startup = machine.hostPath(kStartupBatchFile);
    return host && startup && platform::equalsIgnoreAsciiCase(host->string(), startup->string());
}

OperationList batchOperations(const std::vector<ScriptLine>& lines,
                              StartupFileOperation::Target target, bool environment,
                              const Expander& expander) {
    std::vector<StartupLine> read;
    for (const ScriptLine& line : lines) {
        if (isSectionKeyLine(line.text, {"Caption", "Path"})) continue;
        if (auto batchLine = readBatchLine(expander.expand(line.text))) {
            read.push_back(std::move(*batchLine));
        }
    }
    OperationList operations;
    if (!environment) {
        operations.push_back(std::make_unique<StartupFileOperation>(std::move(target),
                                                                    std::move(read), std::nullopt));
        return operations;
    }
    for (StartupLine& line : read) {
        if (isEnvironmentLine(line)) {
            operations.push_back(std::make_unique<EnvironmentOperation>(std::move(line)));
        }
    }
    return operations;
}

OperationList configSysOperations(const std::vector<ScriptLine>& lines,
                                  StartupFileOperation::Target target, const Expander& expander) {
    std::vector<StartupLine> read;
    std::optional<std::string> refused;
    for (const ScriptLine& line : lines) {
        if (isSectionKeyLine(line.text, {"Caption"})) continue;
        auto configLine = readConfigSysLine(expander.expand(line.text));
        if (!configLine) {
            refused = configLine.error();
            break;
        }
        if (*configLine) read.push_back(std::move(**configLine));
    }
    OperationList operations;
    operations.push_back(
        std::make_unique<StartupFileOperation>(std::move(target), std::move(read), refused));
    return operations;
}

}  // namespace

std::optional<PlanStep> readConfigSysSection(OperationContext& context, std::string_view section) {
    const bool nt = context.registry.machine().windowsVersion().isNT();
    StartupFileOperation::Target target;
    target.configSys = true;
    target.restartOnChange = !nt;
    target.shortPaths = !nt;
    const SectionKind kind{256, strings::kWorkingOn, true, "Config.sys"};
    return readSectionStep(context, section, kind,
                           [&](const std::vector<ScriptLine>& lines, const Expander& expander) {
                               return configSysOperations(lines, target, expander);
                           });
}

std::optional<PlanStep> readBatchSection(OperationContext& context, std::string_view section) {
    const platform::MachineRoot& machine = context.registry.machine();
    const bool nt = machine.windowsVersion().isNT();
    const std::string name = sectionFileName(section);
    StartupFileOperation::Target target;
    target.file = batchFile(context, section, name);
    target.restartOnChange = isStartupBatchFile(machine, target.file);
    target.shortPaths = !nt;
    const bool environment = nt && target.restartOnChange;
    const SectionKind kind{256, strings::kWorkingOn, true, name};
    return readSectionStep(context, section, kind,
                           [&](const std::vector<ScriptLine>& lines, const Expander& expander) {
                               return batchOperations(lines, target, environment, expander);
                           });
}

}  // namespace kestrel::setup
