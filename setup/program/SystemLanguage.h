#pragma once

#include <optional>

#include "platform/Locale.h"
#include "platform/MachineRoot.h"

namespace kestrel::setup {

// The language the root's Windows speaks: that of the first translation in the version
// resource of its User.exe, found where a Windows program finds it. nullopt when the root
// has no such file or it names no language (Wine's prefixes carry no 16-bit User.exe).
std::optional<platform::LanguageId> systemLanguage(const platform::MachineRoot& machine);

}  // namespace kestrel::setup
