#include "workstation/WorkstationCommandLine.h"

#include <array>

#include "platform/CommandLine.h"

namespace kestrel::browser {

namespace {

constexpr std::string_view kViewer = "WVIEWNT.EXE";
constexpr std::string_view kDesktop = "DESKTOP.EXE";

constexpr std::array<WorkstationFunctionInfo, 9> kFunctions{{
    {WorkstationFunction::PingAgent, "Ping Workstation Agent", kDesktop, "Ping", false},
    {WorkstationFunction::RemoteControl, "Remote Control", kViewer, "Remote Control", false},
    {WorkstationFunction::RemoteView, "Remote View", kViewer, "Remote View", false},
    {WorkstationFunction::FileTransfer, "File Transfer", kDesktop, "File Transfer", false},
    {WorkstationFunction::RemoteExecute, "Remote Execute", kDesktop, "Remote Execute", false},
    {WorkstationFunction::Chat, "Chat", kDesktop, "Chat", false},
    {WorkstationFunction::Diagnostics, "Diagnostics", kDesktop, "Diagnostics", false},
    {WorkstationFunction::Inventory, "Inventory", kDesktop, "Inventory", true},
    {WorkstationFunction::InventoryQuery, "Inventory Query", kDesktop, "Query", true},
}};

// workstationFunction() indexes the table by the enumeration.
constexpr bool inEnumerationOrder() {
    for (std::size_t i = 0; i < kFunctions.size(); ++i)
        if (static_cast<std::size_t>(kFunctions[i].function) != i) return false;
    return true;
}
static_assert(inEnumerationOrder());

// A switch with its value in quotes, as the started program's C runtime splits it back.
void appendSwitch(std::string& out, std::string_view name, std::string_view value) {
    out += name;
    out += platform::quotedArgument(value);
}

}  // namespace

std::span<const WorkstationFunctionInfo> workstationFunctions() {
    return kFunctions;
}

const WorkstationFunctionInfo& workstationFunction(WorkstationFunction function) {
    return kFunctions[static_cast<std::size_t>(function)];
}

std::string workstationCommandLine(const WorkstationFunctionInfo& function,
                                   const WorkstationTarget& target, CommandLineForm form) {
    std::string line;
    if (form == CommandLineForm::WithProgram) {
        line += function.program;
        line += ' ';
    }
    appendSwitch(line, "-w", target.objectName);
    appendSwitch(line, " -n", target.tree);
    if (target.inventoryServer) appendSwitch(line, " -ip", *target.inventoryServer);
    appendSwitch(line, " -c", function.word);
    return line;
}

}  // namespace kestrel::browser
