#include "CommandLineSwitches.h"

#include <array>

namespace kestrel::browser {

namespace {

constexpr std::string_view kInventorySwitch = "/Inv=";

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string_view upToBlank(std::string_view text) {
    return text.substr(0, text.find(' '));
}

// A context is taken only from the very start of the command line, or from "[Root]" on.
std::string startContextOf(std::string_view commandLine) {
    for (std::string_view prefix : {"OU=", "O=", "L=", "S=", "C="})
        if (commandLine.starts_with(prefix)) return std::string(upToBlank(commandLine));
    auto root = commandLine.find("[Root]");
    if (root == std::string_view::npos) return {};
    return std::string(upToBlank(commandLine.substr(root)));
}

struct SwitchText {
    std::string_view text;
    std::string_view description;
};

constexpr std::array<SwitchText, 12> kSwitches{{
    {"-? or -h", "show this help, then end the program"},
    {"/nochange", "Change Start Context stays disabled"},
    {"/nosave", "Save/Clear Start Context stays disabled"},
    {"/nocreate", "Create Desktop Shortcut stays disabled"},
    {"/nosearch", "Search Workstation Object stays disabled"},
    {"/noNDS", "the NDS tree button stays disabled"},
    {"/noHelp", "Help stays disabled"},
    {"/noInv", "the inventory server button stays disabled"},
    {"/onlyView", "restricted mode; of the remote functions only Remote View"},
    {"/onlyControl", "restricted mode; only Remote Control"},
    {"/onlyRemote", "restricted mode; Remote Control and Remote View"},
    {"/Inv=<server>", "the inventory server for this run"},
}};

}  // namespace

bool applyCommandLine(CKestrelscopeApp& app) {
    std::string_view line = app.commandLine;
    if (line.empty()) return true;
    if (contains(line, "-?") || contains(line, "-h")) return false;

    if (auto context = startContextOf(line); !context.empty()) app.startContext = context;
    SwitchFlags& flags = app.switches;
    flags.noChange = contains(line, "/nochange");
    flags.noSave = contains(line, "/nosave");
    flags.noCreate = contains(line, "/nocreate");
    flags.noSearch = contains(line, "/nosearch");
    flags.noTree = contains(line, "/noNDS");
    flags.noHelp = contains(line, "/noHelp");
    flags.noInventory = contains(line, "/noInv");
    if (contains(line, "/onlyRemote")) {
        flags.onlyView = flags.onlyControl = true;
    } else {
        flags.onlyView = contains(line, "/onlyView");
        flags.onlyControl = contains(line, "/onlyControl");
    }
    if (auto at = line.find(kInventorySwitch); at != std::string_view::npos) {
        app.inventoryServerFromCommandLine = true;
        app.inventoryServer = upToBlank(line.substr(at + kInventorySwitch.size()));
    }
    return true;
}

std::string commandLineHelp() {
    std::string text = "Kestrelscope [startcontext] [options] [-?|-h]\n\n";
    for (const auto& entry : kSwitches) {
        text += entry.text;
        text += '\t';
        text += entry.description;
        text += '\n';
    }
    return text;
}

}  // namespace kestrel::browser
