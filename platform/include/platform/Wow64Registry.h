#pragma once

#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace kestrel::platform {

struct RegistryLocation {
    RegistryRoot root;
    std::string path;
    bool operator==(const RegistryLocation&) const = default;
};

// Where a 32-bit program's key lands on a 64-bit system (the registry redirector):
// HKLM\Software\<key> in Software\Wow6432Node\<key>; of the classes (HKCR and
// HKLM\Software\Classes) only the keys that hold 32-bit components (CLSID, Interface,
// DirectShow, Media Type, MediaFoundation) in Software\Classes\Wow6432Node, the rest (file
// types, program identifiers, type libraries...) shared between both views. Paths already naming
// Wow6432Node, everything outside Software and the user's keys stay as they are.
RegistryLocation redirectFor32BitProgram(RegistryRoot root, std::string_view path);

}  // namespace kestrel::platform
