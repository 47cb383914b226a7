#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Locale.h"
#include "script/Environment.h"
#include "script/Expander.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

// The section a script translates itself with: "<base>:<ll>,<ss>" for the language and
// sublanguage (two hexadecimal digits each), else "<base>:<ll>", else `overrideName` when it
// is set, else `base` itself. Without a known language only the last two are tried.
std::string chooseStringSection(const ScriptText& script, std::string_view base,
                                std::optional<platform::LanguageId> language,
                                std::string_view overrideName);

// Puts each line NAME=value of the section into the environment, NAME in capitals and the
// value expanded, so %NAME% works from then on. False when an entry cannot be made.
bool loadStringSection(const ScriptText& script, std::string_view section, const Expander& expander,
                       Environment& environment);

}  // namespace kestrel::setup
