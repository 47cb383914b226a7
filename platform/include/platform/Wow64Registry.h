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

// Where a 32-bit program's key lands on a 64-bit system (the registry redirector), as Wine
// 8 does it on a Windows 7 prefix: HKLM\Software\<key> in Software\Wow6432Node\<key>, the
// classes (HKCR, HKLM\Software\Classes) in Software\Classes\Wow6432Node, apart from the keys
// both views share (AppID, TypeLib, OLE, App Paths, Fonts, Policies and others). Paths that
// name Wow6432Node already, everything outside Software and the user's keys stay as they are.
RegistryLocation redirectFor32BitProgram(RegistryRoot root, std::string_view path);

}  // namespace kestrel::platform
