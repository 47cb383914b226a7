#include "program/BackgroundSound.h"

#include "commands/SoundNames.h"
#include "program/MainWindowStart.h"

namespace kestrel::setup {

void playBackgroundSound(SetupSession& session, commands::SoundOutput& output,
                         const std::string& startDirectory) {
    namespace sound = commands::sound;
    const ApplicationSettings& settings = session.settings();
    const std::uint32_t flags = settings.backgroundSoundFlags;
    const std::string name = session.expander().expand(settings.backgroundSound);
    // Neither memory nor a module's resources hold a sound that a script could name.
    if (name.empty() || (flags & (sound::kMemory | sound::kPurge)) != 0) return;
    const auto alias = commands::aliasSound(name);
    if ((flags & sound::kAlias) != 0 || (alias && (flags & sound::kFileName) == 0)) {
        if (alias || (flags & sound::kNoDefault) == 0)
            output.beep(alias.value_or(commands::SystemSound::Default));
        return;
    }
    const std::vector<std::string> files =
        findRunFiles(session, {settings.backgroundSound}, startDirectory);
    const bool async = (flags & sound::kAsync) != 0;
    const bool played =
        !files.empty() && output.play(files.front(), !async, async && (flags & sound::kLoop) != 0);
    if (!played && (flags & sound::kNoDefault) == 0) output.beep(commands::SystemSound::Default);
}

}  // namespace kestrel::setup
