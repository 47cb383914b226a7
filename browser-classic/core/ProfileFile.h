// The program's settings: the profile file named after the program file with the extension
// .INI, section "NDS Settings", key "StartContext".
#pragma once

#include <filesystem>
#include <string>

namespace kestrel::classic {

// In the per-user settings folder. The name is the program file's name in capitals without
// an edition suffix "-classic": kestrelscope-classic (the first edition of KESTRELSCOPE.EXE)
// gives KESTRELSCOPE.INI, a copy renamed to netscope gives NETSCOPE.INI.
std::filesystem::path profileFileFor(const std::filesystem::path& program);

// "" when the file, the section or the key is missing.
std::string readStartContext(const std::filesystem::path& profile);
bool writeStartContext(const std::filesystem::path& profile, const std::string& context);

}  // namespace kestrel::classic
