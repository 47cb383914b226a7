#include "program/AdminCopyScript.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "messages/MessageStrings.h"
#include "platform/AtomicFile.h"
#include "platform/ProfileDocument.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup {

namespace {

std::string scriptCopyPath(const OperationContext& context) {
    const std::string script = context.variables.value("SetupInf");
    const std::string_view name =
        platform::fileNamePart(script, platform::PathSeparators::BackslashSlashOrColon);
    return context.variables.value("App") + context.variables.value("SetupInfDir") +
           std::string(name);
}

}  // namespace

bool markAdministratorCopy(OperationContext& context, const ComponentList& components,
                           bool askOptions) {
    const std::string path = scriptCopyPath(context);
    const auto host = context.registry.machine().hostPath(path);
    struct stat times {};
    const auto text = host ? platform::readWholeFile(*host) : std::nullopt;
    if (!text || ::stat(host->c_str(), &times) != 0) {
        context.messages.show(messages::kCannotOpenFile, {path});
        context.run.abort = true;
        return false;
    }
    platform::ProfileDocument script = platform::ProfileDocument::parse(*text);
    script.set("Admin", "AdminSetup", "1");
    if (askOptions) {
        for (int index = 1; index < components.size(); ++index) {
            const Component& component = components[index];
            if (!component.selected) script.remove("Options", component.name);
        }
    }
    if (const std::error_code written = platform::writeFileAtomically(*host, script.serialise())) {
        context.messages.show(messages::kCannotWriteFile, {path}, written.message());
        context.run.abort = true;
        return false;
    }
    const struct timespec kept[2] = {times.st_atim, times.st_mtim};
    ::utimensat(AT_FDCWD, host->c_str(), kept, 0);
    return true;
}

}  // namespace kestrel::setup
