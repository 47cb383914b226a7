#include "records/InstallCommands.h"

#include "platform/CommandLine.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup::records {

namespace {

// Where a parent step's ".." ends: before a backslash, a quote, a blank or the end.
bool endsStep(std::string_view text, std::size_t at) {
    return at == text.size() || text[at] == '\\' || text[at] == '"' || text[at] == ' ';
}

std::string installedScriptCommand(OperationContext& context) {
    const Expander expander = context.expander();
    std::string program = expander.expand("%Windows%") + "\\_UnInst.exe";
    if (context.registry.machine().windowsVersion().major >= 4) program = '"' + program + '"';
    const std::string script = context.variables.value("SetupInf");
    const std::string fileName(
        platform::fileNamePart(script, platform::PathSeparators::BackslashOrColon));
    const std::string installedScript =
        context.variables.value("App") + context.variables.value("SetupInfDir") + fileName;
    return program + " " + platform::quotedArgument(installedScript);
}

}  // namespace

std::string foldParentSteps(std::string_view text) {
    std::string out(text);
    std::size_t step = 0;
    while ((step = out.find("\\..", step)) != std::string::npos) {
        const std::size_t after = step + 3;
        const std::size_t start = step == 0 ? std::string::npos : out.rfind('\\', step - 1);
        const std::string_view folder =
            start == std::string::npos ? std::string_view()
                                       : std::string_view(out).substr(start + 1, step - start - 1);
        const bool folds = endsStep(out, after) && !folder.empty() && folder != ".." &&
                           folder.find_first_of(":\"") == std::string_view::npos;
        if (!folds) {
            step = after;
            continue;
        }
        out.erase(start, after - start);
        step = start;
    }
    return out;
}

InstallCommands composeInstallCommands(OperationContext& context, std::string_view uninstall,
                                       std::string_view reinstall) {
    const Expander expander = context.expander();
    const auto compose = [&](std::string_view given, std::string_view defaultEnd) {
        const std::string command = given.empty()
                                        ? installedScriptCommand(context) + std::string(defaultEnd)
                                        : expander.expand(given);
        return foldParentSteps(command);
    };
    InstallCommands commands{compose(uninstall, " /U"), compose(reinstall, "") + " /X4"};
    context.variables.set("UninstallString", commands.uninstall);
    context.variables.set("ReinstallString", commands.reinstall);
    return commands;
}

}  // namespace kestrel::setup::records
