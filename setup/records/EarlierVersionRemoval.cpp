#include "records/EarlierVersionRemoval.h"

#include <cstdio>

#include "messages/MessageStrings.h"
#include "records/ProgramLaunch.h"
#include "records/RecordKeys.h"

namespace kestrel::setup::records {

namespace {

using platform::RegistryRoot;

std::string hex(std::uint32_t value) {
    char text[12];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(value));
    return text;
}

std::string uninstallCommandOf(const OperationContext& context, const RegisteredVersion& earlier) {
    const RegistryServices& registry = context.registry;
    const RegistryRoot machine = RegistryRoot::LocalMachine;
    const auto product = productKey(context.settings.machineKeyName);
    std::string command;
    if (product) {
        command = readRecord(registry, machine, *product + "\\" + earlier.version + "\\Setup",
                             "UninstallString");
    }
    if (command.empty() && namesSubkey(context.settings.uninstallKeyName)) {
        command =
            readRecord(registry, machine, uninstallEntryKey(context.settings.uninstallKeyName),
                       "UninstallString");
    }
    return command;
}

}  // namespace

bool offersEarlierVersionRemoval(const OperationContext& context) {
    const RunState& run = context.run;
    return context.settings.askUninstallOld && !run.admin && !run.repeat && !run.maintenance &&
           !run.perUserPart && !run.uninstall && !context.settings.serviceRelease;
}

bool removeEarlierVersion(OperationContext& context, commands::ProgramStarter& starter,
                          const RegisteredVersion& earlier) {
    std::string command = uninstallCommandOf(context, earlier);
    if (command.empty()) return true;
    command += " /X" + hex(extra::kNoEndMessage);
    if (context.run.silent) command += " /S" + std::to_string(context.run.silentLevel);
    if (context.run.workstation) command += " /AW";
    return runChildInstaller(context, starter, command);
}

void offerEarlierVersionRemoval(OperationContext& context, commands::ProgramStarter& starter) {
    if (!offersEarlierVersionRemoval(context)) return;
    const auto earlier = findRegisteredVersion(context, true);
    if (!earlier) return;
    if (!context.run.silent &&
        context.messages.show(messages::kEarlierVersionFound, {earlier->version}) != buttons::kYes)
        return;
    (void)removeEarlierVersion(context, starter, *earlier);
}

}  // namespace kestrel::setup::records
