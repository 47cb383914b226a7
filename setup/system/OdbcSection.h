#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Expected.h"
#include "script/Expander.h"
#include "script/ScriptText.h"
#include "system/OdbcInstaller.h"

namespace kestrel::setup {

enum class OdbcKind { Core, Driver, Translator, UserDsn, SystemDsn, FileDsn };

// "ODBC Driver", "ODBC System DSN:own text"... nullopt for a section of no such kind.
std::optional<OdbcKind> odbcKindOf(std::string_view section);

// The section's key=value lines, expanded, blanks around key and value removed; comments and
// empty lines skipped. The error is the first line without '=' (as written).
platform::Expected<OdbcAttributes, std::string> readOdbcAttributes(
    const std::vector<ScriptLine>& lines, const Expander& expander);

// The value of the first attribute named `key` (without regard to case); "" when none is.
std::string odbcAttribute(const OdbcAttributes& attributes, std::string_view key);

}  // namespace kestrel::setup
