#include "commands/SoundNames.h"

#include <array>

#include "platform/AsciiCase.h"

namespace kestrel::setup::commands {

namespace {

struct SoundAlias {
    std::string_view name;
    SystemSound sound;
};

constexpr std::array<SoundAlias, 6> kAliases{{
    {"SystemDefault", SystemSound::Default},
    {".Default", SystemSound::Default},
    {"SystemHand", SystemSound::Stop},
    {"SystemQuestion", SystemSound::Question},
    {"SystemExclamation", SystemSound::Exclamation},
    {"SystemAsterisk", SystemSound::Information},
}};

}  // namespace

std::optional<SystemSound> aliasSound(std::string_view name) {
    for (const SoundAlias& alias : kAliases) {
        if (platform::equalsIgnoreAsciiCase(alias.name, name)) return alias.sound;
    }
    return std::nullopt;
}

}  // namespace kestrel::setup::commands
