#include "ops/IniSection.h"

#include "messages/MessageStrings.h"
#include "ops/IniOperation.h"
#include "ops/SectionFileName.h"
#include "plan/SectionReader.h"
#include "platform/AsciiCase.h"

namespace kestrel::setup {

namespace {

bool isSystemFile(std::string_view name) {
    return platform::equalsIgnoreAsciiCase(name, "win.ini") ||
           platform::equalsIgnoreAsciiCase(name, "system.ini");
}

// A file name without directory lies in `directory`.
std::string inDirectory(std::string_view directory, std::string_view file) {
    if (file.find_first_of("\\/:") != std::string_view::npos) return std::string(file);
    std::string path(directory);
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path + std::string(file);
}

}  // namespace

std::optional<PlanStep> readIniSection(OperationContext& context, std::string_view section) {
    const platform::MachineRoot& machine = context.registry.machine();
    const std::string file = sectionFileName(section);
    const std::string windows = machine.windowsDirectory();
    std::string directory =
        context.expander().expand(context.script.readValue(section, "Path").value_or(""));
    if (directory.empty() || isSystemFile(file)) directory = windows;
    const std::string sectionFile = inDirectory(directory, file);

    const SectionKind kind{256, strings::kWorkingOn, true, file};
    return readSectionStep(
        context, section, kind,
        [&](const std::vector<ScriptLine>& lines, const Expander& expander) {
            OperationList operations;
            for (const ScriptLine& line : lines) {
                std::optional<IniEntry> entry = readIniLine(line.text, expander);
                if (!entry) continue;
                std::string target = entry->file ? inDirectory(windows, *entry->file) : sectionFile;
                operations.push_back(
                    std::make_unique<IniOperation>(std::move(target), std::move(*entry)));
            }
            return operations;
        });
}

}  // namespace kestrel::setup
