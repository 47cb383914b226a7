// The command line that starts a remote-management program against a workstation:
//   [PROGRAM ]-w"<name>" -n"<tree>"[ -ip"<server>"] -c"<function word>"
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kestrel::browser {

enum class WorkstationFunction {
    PingAgent,
    RemoteControl,
    RemoteView,
    FileTransfer,
    RemoteExecute,
    Chat,
    Diagnostics,
    Inventory,
    InventoryQuery,
};

struct WorkstationFunctionInfo {
    WorkstationFunction function;
    std::string_view button;    // caption of the main window's button
    std::string_view program;   // "WVIEWNT.EXE" or "DESKTOP.EXE"
    std::string_view word;      // value of -c
    bool needsInventoryServer;  // the caller passes the inventory server (-ip)
};

// Every function, in the order of the main window's buttons.
std::span<const WorkstationFunctionInfo> workstationFunctions();
const WorkstationFunctionInfo& workstationFunction(WorkstationFunction function);

// Shortcuts name the program as their target, so their arguments leave it out.
enum class CommandLineForm { WithProgram, ForShortcut };

struct WorkstationTarget {
    std::string_view objectName;  // typeless dotted name (a container for the inventory query)
    std::string_view tree;        // the tree as the main window shows it
    std::optional<std::string_view> inventoryServer;  // -ip appears only when given
};

std::string workstationCommandLine(const WorkstationFunctionInfo& function,
                                   const WorkstationTarget& target, CommandLineForm form);

}  // namespace kestrel::browser
