#include "program/WorkstationLinks.h"

#include <system_error>
#include <vector>

#include "commands/HostProgramStarter.h"
#include "messages/MessageStrings.h"
#include "ops/LinkLine.h"
#include "ops/ShellLinkOperation.h"
#include "platform/EmptyFolders.h"
#include "script/Fields.h"

namespace kestrel::setup {

namespace {

struct WorkstationLink {
    const char* key;      // the [Workstation] switch
    const char* nameKey;  // the [Workstation] link name, else UninstallDisplayName
    int group;            // string of the group folder
    const char* folder;   // the programs folder it lies in
    const char* command;
};

const WorkstationLink kLinks[] = {
    {"AdminUninstallLink", "AdminUninstallLinkName", strings::kAdminGroup, "%UserPrograms%",
     "%UninstallString% /AW"},
    {"UserSetupLink", "UserSetupLinkName", strings::kUserGroup, "%CommonPrograms%",
     "%ReinstallString%"},
};

// The links this script makes, as Windows paths of their files.
struct PlannedLink {
    std::string file;
    const WorkstationLink& link;
};

std::vector<PlannedLink> plannedLinks(OperationContext& context) {
    std::vector<PlannedLink> planned;
    const Expander expander = context.expander();
    for (const WorkstationLink& link : kLinks) {
        const auto wanted = context.script.readValue("Workstation", link.key);
        if (wanted && readNumber(*wanted) == 0) continue;
        const std::string name =
            expander.expand(context.script.readValue("Workstation", link.nameKey)
                                .value_or("%UninstallDisplayName%"));
        const std::string location = context.messages.strings().text(link.group) + "\\" + name;
        planned.push_back({linkFilePath(location, expander.expand(link.folder)), link});
    }
    return planned;
}

}  // namespace

bool createWorkstationLinks(OperationContext& context) {
    context.ui().setProgressText(context.messages.strings().text(strings::kWorkingOnGroup), {});
    const Expander expander = context.expander();
    for (const PlannedLink& planned : plannedLinks(context)) {
        const commands::ProgramWord command =
            commands::splitProgramWord(expander.expand(planned.link.command));
        platform::ShellLink link;
        link.target = command.program;
        link.arguments = command.arguments;
        if (!createLinkFile(context, planned.file, link)) return false;
    }
    return true;
}

void removeWorkstationLinks(OperationContext& context) {
    const platform::MachineRoot& machine = context.registry.machine();
    for (const PlannedLink& planned : plannedLinks(context)) {
        const auto host = machine.hostPath(planned.file);
        if (!host) continue;
        std::error_code ignored;
        if (std::filesystem::remove(*host, ignored))
            platform::removeEmptyFolders(host->parent_path(), keptFolderHostPaths(context));
    }
}

}  // namespace kestrel::setup
