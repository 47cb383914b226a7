// How the system's sound-playing function reads a sound's name and flags, for the script's
// sounds (PlaySound, BackgroundSound).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "commands/SoundOutput.h"

namespace kestrel::setup::commands {

// The flags the installer acts on.
namespace sound {
inline constexpr std::uint32_t kAsync = 0x1, kNoDefault = 0x2, kMemory = 0x4, kLoop = 0x8,
                               kNoStop = 0x10, kPurge = 0x40, kAlias = 0x10000, kFileName = 0x20000;
}

// The system sound that an alias names ("SystemAsterisk", ".Default"...; without case).
std::optional<SystemSound> aliasSound(std::string_view name);

}  // namespace kestrel::setup::commands
