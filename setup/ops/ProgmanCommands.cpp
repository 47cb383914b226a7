#include "ops/ProgmanCommands.h"

#include "platform/AsciiCase.h"
#include "platform/DdeCommands.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

using platform::ddeArgument;

namespace {

std::string command(std::string_view name, std::string_view arguments) {
    return "[" + std::string(name) + "(" + std::string(arguments) + ")]";
}

}  // namespace

std::string groupNameOf(std::string_view groupValue) {
    return std::string(trimBlanks(groupValue.substr(0, groupValue.find(','))));
}

std::string createGroupCommand(std::string_view groupValue) {
    const std::size_t comma = groupValue.find(',');
    std::string arguments = ddeArgument(groupNameOf(groupValue));
    if (comma != std::string_view::npos) {
        arguments += "," + ddeArgument(trimBlanks(groupValue.substr(comma + 1)));
    }
    return command("CreateGroup", arguments);
}

std::string showGroupCommand(std::string_view group) {
    return command("ShowGroup", ddeArgument(group) + ",1");
}

std::string replaceItemCommand(std::string_view item) {
    return command("ReplaceItem", ddeArgument(item));
}

std::string deleteItemCommand(std::string_view item) {
    return command("DeleteItem", ddeArgument(item));
}

std::string deleteGroupCommand(std::string_view group) {
    return command("DeleteGroup", ddeArgument(group));
}

std::string addItemCommand(const ProgmanItem& item) {
    const std::string commandLine =
        item.arguments.empty() ? item.target : item.target + " " + item.arguments;
    return command("AddItem", ddeArgument(commandLine) + "," + ddeArgument(item.name) + "," +
                                  ddeArgument(item.iconFile) + "," +
                                  std::to_string(item.iconIndex) + ",,," +
                                  ddeArgument(item.workingDirectory) + "," +
                                  std::to_string(item.hotKey) + "," + (item.minimized ? "1" : "0"));
}

bool isSystemGroup(std::string_view group) {
    for (const std::string_view system : {"Startup", "Autostart", "Main", "Hauptgruppe"}) {
        if (platform::equalsIgnoreAsciiCase(group, system)) return true;
    }
    return false;
}

}  // namespace kestrel::setup
