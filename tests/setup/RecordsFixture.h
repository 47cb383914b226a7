#pragma once

#include <string>
#include <vector>

#include "SetupFixture.h"
#include "commands/ActionFakes.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup::test {

// A product "Acme Tools" 2.0 (revision 3) recorded as Acme\Tools\2.0, listed as
// "Acme Tools 2.0"; `application` lines come first in [Application] (and so replace the
// product's own), `rest` adds sections.
std::string productScript(const std::string& application = "", const std::string& rest = "");

inline constexpr const char* kSetupKey = "Software\\Acme\\Tools\\2.0\\Setup";
inline constexpr const char* kEntryKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Tools 2.0";
inline constexpr const char* kInstaller = "Z:\\opt\\kestrel\\bin\\setup";

}  // namespace kestrel::setup::test
