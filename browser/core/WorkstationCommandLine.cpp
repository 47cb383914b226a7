#include "WorkstationCommandLine.h"

#include <array>

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

// The started program splits its command line by the C runtime rules. A quote inside a
// value is escaped, and backslashes before a quote are doubled, so that a directory name
// holding quotes stays one value instead of adding switches of its own.
void appendSwitch(std::string& out, std::string_view name, std::string_view value) {
    out += name;
    out += '"';
    std::size_t backslashes = 0;
    for (char c : value) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, '\\');
    out += '"';
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
