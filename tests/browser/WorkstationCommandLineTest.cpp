#include <gtest/gtest.h>

#include "platform/CommandLine.h"
#include "workstation/WorkstationCommandLine.h"

namespace kestrel::browser {
namespace {

struct Row {
    WorkstationFunction function;
    const char* button;
    const char* commandLine;  // with the program part
};

// The table of functions, each started against WS17.Sales.Acme (the query against its
// container) in ACME_TREE; the inventory functions name the server 10.0.0.5.
constexpr Row kRows[] = {
    {WorkstationFunction::PingAgent, "Ping Workstation Agent",
     R"(DESKTOP.EXE -w"WS17.Sales.Acme" -n"ACME_TREE" -c"Ping")"},
    {WorkstationFunction::RemoteControl, "Remote Control",
     R"(WVIEWNT.EXE -w"WS17.Sales.Acme" -n"ACME_TREE" -c"Remote Control")"},
    {WorkstationFunction::RemoteView, "Remote View",
     R"(WVIEWNT.EXE -w"WS17.Sales.Acme" -n"ACME_TREE" -c"Remote View")"},
    {WorkstationFunction::FileTransfer, "File Transfer",
     R"(DESKTOP.EXE -w"WS17.Sales.Acme" -n"ACME_TREE" -c"File Transfer")"},
    {WorkstationFunction::RemoteExecute, "Remote Execute",
     R"(DESKTOP.EXE -w"WS17.Sales.Acme" -n"ACME_TREE" -c"Remote Execute")"},
    {WorkstationFunction::Chat, "Chat",
     R"(DESKTOP.EXE -w"WS17.Sales.Acme" -n"ACME_TREE" -c"Chat")"},
    {WorkstationFunction::Diagnostics, "Diagnostics",
     R"(DESKTOP.EXE -w"WS17.Sales.Acme" -n"ACME_TREE" -c"Diagnostics")"},
    {WorkstationFunction::Inventory, "Inventory",
     R"(DESKTOP.EXE -w"WS17.Sales.Acme" -n"ACME_TREE" -ip"10.0.0.5" -c"Inventory")"},
    {WorkstationFunction::InventoryQuery, "Inventory Query",
     R"(DESKTOP.EXE -w"Sales.Acme" -n"ACME_TREE" -ip"10.0.0.5" -c"Query")"},
};

WorkstationTarget targetFor(const WorkstationFunctionInfo& info) {
    WorkstationTarget target{"WS17.Sales.Acme", "ACME_TREE", std::nullopt};
    if (info.function == WorkstationFunction::InventoryQuery) target.objectName = "Sales.Acme";
    if (info.needsInventoryServer) target.inventoryServer = "10.0.0.5";
    return target;
}

TEST(WorkstationCommandLine, EveryFunctionWithAndWithoutProgram) {
    auto functions = workstationFunctions();
    ASSERT_EQ(functions.size(), std::size(kRows));
    for (std::size_t i = 0; i < functions.size(); ++i) {
        const Row& row = kRows[i];
        SCOPED_TRACE(row.button);
        const auto& info = workstationFunction(row.function);
        EXPECT_EQ(&info, &functions[i]);  // the table is in button order
        EXPECT_EQ(info.button, row.button);
        std::string expected = row.commandLine;
        EXPECT_EQ(workstationCommandLine(info, targetFor(info), CommandLineForm::WithProgram),
                  expected);
        // A shortcut's arguments begin right at -w.
        EXPECT_EQ(workstationCommandLine(info, targetFor(info), CommandLineForm::ForShortcut),
                  expected.substr(expected.find("-w")));
    }
}

// The started program splits its command line by the C runtime rules; whatever a name
// holds must arrive as that one argument.
TEST(WorkstationCommandLine, NamesWithQuotesAndBackslashesStayOneArgument) {
    const auto& control = workstationFunction(WorkstationFunction::RemoteControl);
    for (std::string name : {R"(WS" -c"Chat)", R"(back\slash\)", R"(a\"b)", R"(ends\\)"}) {
        SCOPED_TRACE(name);
        std::string line = workstationCommandLine(control, {name, R"(TREE\)", std::nullopt},
                                                  CommandLineForm::WithProgram);
        EXPECT_EQ(platform::splitCommandLine(line),
                  (std::vector<std::string>{"WVIEWNT.EXE", "-w" + name, R"(-nTREE\)",
                                            "-cRemote Control"}));
    }
}

}  // namespace
}  // namespace kestrel::browser
