#include "system/PrintEnvironment.h"

#include "platform/AsciiCase.h"

namespace kestrel::setup {

namespace {

constexpr PrintEnvironment kEnvironments[] = {{"Windows NT x86", "w32x86"},
                                              {"Windows x64", "x64"},
                                              {"Windows IA64", "ia64"},
                                              {"Windows 4.0", "win40"}};
constexpr const PrintEnvironment& kX86 = kEnvironments[0];
constexpr const PrintEnvironment& kX64 = kEnvironments[1];
constexpr const PrintEnvironment& kNineX = kEnvironments[3];

}  // namespace

const PrintEnvironment* findPrintEnvironment(std::string_view name) {
    for (const PrintEnvironment& known : kEnvironments) {
        if (platform::equalsIgnoreAsciiCase(name, known.name)) return &known;
    }
    return nullptr;
}

const PrintEnvironment& rootPrintEnvironment(const platform::MachineRoot& machine) {
    if (!machine.windowsVersion().isNT()) return kNineX;
    return machine.is64Bit() ? kX64 : kX86;
}

std::string spoolerSystemDirectory(const platform::MachineRoot& machine) {
    if (!machine.windowsVersion().isNT()) return machine.systemDirectory();
    return machine.windowsDirectory() + "\\system32";
}

std::string spoolDirectory(const platform::MachineRoot& machine) {
    return spoolerSystemDirectory(machine) + "\\spool";
}

}  // namespace kestrel::setup
