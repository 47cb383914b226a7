#include "ops/IniOperation.h"

#include "messages/MessageStrings.h"
#include "ops/FileChange.h"
#include "ops/ListValue.h"
#include "platform/AsciiCase.h"
#include "platform/JournaledFiles.h"
#include "platform/ProfileFunctions.h"

namespace kestrel::setup {

namespace fs = std::filesystem;
using platform::equalsIgnoreAsciiCase;

namespace {

bool isListKey(std::string_view section, std::string_view key, bool winIni, bool systemIni) {
    if (winIni) {
        return equalsIgnoreAsciiCase(section, "windows") &&
               (equalsIgnoreAsciiCase(key, "load") || equalsIgnoreAsciiCase(key, "run"));
    }
    return systemIni && equalsIgnoreAsciiCase(section, "boot") &&
           equalsIgnoreAsciiCase(key, "drivers");
}

}  // namespace

IniOperation::FileKind IniOperation::kindOf(const platform::MachineRoot& machine,
                                            const fs::path& host) const {
    // The same host path, but for the case of a file not made yet.
    if (equalsIgnoreAsciiCase(host.string(), machine.profileFile("win.ini").string())) {
        return FileKind::WinIni;
    }
    if (equalsIgnoreAsciiCase(host.string(), machine.profileFile("system.ini").string())) {
        return FileKind::SystemIni;
    }
    return FileKind::Private;
}

bool IniOperation::edit(platform::ProfileDocument& document, FileKind kind, bool remove) const {
    const std::string& section = entry_.section;
    const std::string& key = entry_.key;
    const std::string& value = entry_.value;
    if (kind == FileKind::SystemIni && equalsIgnoreAsciiCase(section, "386Enh") &&
        equalsIgnoreAsciiCase(key, "device")) {
        if (remove) {
            (void)document.removeLine(section, key, value);
            return true;
        }
        return document.hasLine(section, key, value) || document.addLine(section, key, value);
    }
    if (isListKey(section, key, kind == FileKind::WinIni, kind == FileKind::SystemIni)) {
        const std::optional<std::string> current = document.get(section, key);
        if (remove && !current) return true;
        const std::string list = remove ? listWithout(*current, value, kProgramList)
                                        : listWith(current.value_or(""), value, kProgramList);
        if (current && list == *current) return true;
        // An empty list means what no key means.
        if (remove && listEmpty(list, kProgramList)) {
            (void)document.remove(section, key);
            return true;
        }
        return document.set(section, key, list);
    }
    if (remove) {
        (void)document.remove(section, key);
        return true;
    }
    return document.set(section, key, value);
}

bool IniOperation::fail(OperationContext& context) const {
    return context.messages.show(messages::kCannotModifyIni, {file_}) == buttons::kIgnore;
}

bool IniOperation::change(OperationContext& context, bool remove, bool uninstalling) {
    platform::MachineRoot& machine = context.registry.machine();
    context.ui().setProgressText(context.script.displayName(), file_);
    if (!entry_.complete()) return uninstalling || fail(context);
    const std::optional<fs::path> host = machine.hostPath(file_);
    if (!host) return uninstalling || fail(context);
    std::error_code error;
    const bool exists = fs::exists(*host, error);
    // Nothing to take away from a file that is not there, and nothing to make it for.
    if (remove && !exists && !error) return true;
    if (error || fs::is_directory(*host, error)) {
        // An uninstallation finds nothing of its own in what is no file.
        return uninstalling || fail(context);
    }

    const FileKind kind = kindOf(machine, *host);
    bool changed = false;
    const bool written = changeKeepingAttributes(*host, [&] {
        return platform::editProfile(*host, [&](platform::ProfileDocument& document) {
            const std::string before = document.serialise();
            if (!edit(document, kind, remove)) return false;
            if (uninstalling) document.removeEmptySection(entry_.section);
            changed = document.serialise() != before;
            return true;
        });
    });
    if (!written) return fail(context);
    if (changed && kind == FileKind::SystemIni) context.run.restartComputer = true;
    // Windows tells every top-level window when Win.ini [windows] changed, so that running
    // programs read it again. The machine root has no windows of ours to tell, and programs
    // that Wine runs read the file when they start: there is no one to notify.
    if (uninstalling && kind == FileKind::Private && fs::file_size(*host, error) == 0 && !error) {
        if (platform::journaled::removeFile(*host)) return fail(context);
        removeEmptyFolders(machine, host->parent_path());
    }
    return true;
}

bool IniOperation::install(OperationContext& context) {
    return change(context, entry_.deletion, false);
}

bool IniOperation::uninstall(OperationContext& context) {
    if (entry_.deletion) return true;
    return change(context, true, true);
}

}  // namespace kestrel::setup
