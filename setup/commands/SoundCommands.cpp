// Beep and PlaySound.
#include <array>
#include <string>

#include "commands/ActionHandlers.h"
#include "commands/SoundNames.h"
#include "messages/MessageStrings.h"
#include "script/Fields.h"
#include "script/Layout.h"

namespace kestrel::setup::commands {

namespace fs = std::filesystem;

namespace {

bool hasDriveOrRoot(std::string_view path) {
    return (path.size() >= 2 && path[1] == ':') || path.starts_with('\\') || path.starts_with('/');
}

// Where the sound file is: in the source directory, or on the disk the person inserts.
// nullopt: given up (Skip, or missing where nobody is asked); `cancelled` on Cancel.
std::optional<fs::path> findSoundFile(CommandCall& call, ActionServices& services, int disk,
                                      const std::string& name, bool& cancelled) {
    std::string source = call.context.variables.value("Src");
    if (!source.empty() && source.back() != '\\') source += '\\';
    const std::string path = hasDriveOrRoot(name) ? name : source + name;
    const auto host = call.context.registry.machine().hostPath(path);
    std::error_code error;
    if (host && fs::is_regular_file(*host, error)) return host;
    // Only the installation and the uninstallation have the product's disks to ask for.
    if (call.prescan || !host) {
        call.context.messages.show(messages::kCannotOpenFile, {path});
        return std::nullopt;
    }
    const copy::DiskAnswer answer = services.disks.askFor(
        {services.diskLabels.label(std::to_string(disk)), *host, /*skipAllowed=*/true});
    cancelled = answer.kind == copy::DiskAnswer::Kind::Cancel;
    if (answer.kind != copy::DiskAnswer::Kind::Found) return std::nullopt;
    return answer.file;
}

}  // namespace

bool beep(CommandCall& call, ActionServices& services) {
    // The message beep of type n x 16; any other type sounds the default beep.
    const int type = call.line.arguments.empty() ? 0 : readNumber(call.line.arguments[0]);
    constexpr std::array<SystemSound, 5> kTypes{SystemSound::Default, SystemSound::Stop,
                                                SystemSound::Question, SystemSound::Exclamation,
                                                SystemSound::Information};
    services.sound.beep(type >= 0 && type < 5 ? kTypes[type] : SystemSound::Default);
    return true;
}

bool playSound(CommandCall& call, ActionServices& services) {
    const RunState& run = call.context.run;
    if (run.silent && run.silentLevel != 2) return true;
    const std::vector<std::string> fields = splitFields(call.line.rest);
    const auto field = [&fields](std::size_t i) { return i < fields.size() ? fields[i] : ""; };
    const auto flags = parseFlags(field(2), soundFlagNames());
    if (!flags) {
        call.context.messages.show(messages::kIncorrectFlags, {flags.error()});
        return true;  // the sound is left out
    }
    const std::string name = field(1);
    if (name.find_first_not_of(' ') == std::string::npos || (*flags & sound::kPurge)) {
        services.sound.stop();
        return true;
    }
    if ((*flags & sound::kNoStop) && services.sound.playing()) return true;
    // A script has no sound in memory or in a module's resources to give.
    if (*flags & sound::kMemory) return true;
    const auto alias = aliasSound(name);
    if ((*flags & sound::kAlias) || (alias && !(*flags & sound::kFileName))) {
        if (alias || !(*flags & sound::kNoDefault))
            services.sound.beep(alias.value_or(SystemSound::Default));
        return true;
    }
    bool cancelled = false;
    const auto file = findSoundFile(call, services, readNumber(field(0)), name, cancelled);
    if (cancelled) {
        call.context.run.abort = true;
        return false;
    }
    if (!file) return true;
    const bool async = *flags & sound::kAsync;
    if (!services.sound.play(*file, !async, async && (*flags & sound::kLoop)) &&
        !(*flags & sound::kNoDefault))
        services.sound.beep(SystemSound::Default);
    return true;
}

}  // namespace kestrel::setup::commands
