#pragma once

#include <string>
#include <string_view>

#include "platform/MachineRoot.h"

namespace kestrel::setup {

// One of the spooler's environments: its name and the folder below the spool's drivers and
// prtprocs folders that holds its files.
struct PrintEnvironment {
    std::string_view name;
    std::string_view folder;
};

// The environment of that name, without regard to case; nullptr for one the spooler does
// not know.
const PrintEnvironment* findPrintEnvironment(std::string_view name);
// The spooler's own, which an empty environment field means: "Windows 4.0" on 95/98; on NT
// roots the system's own architecture, because the spooler is a native service and a
// 64-bit one loads only 64-bit drivers.
const PrintEnvironment& rootPrintEnvironment(const platform::MachineRoot& machine);
// The folder the spooler loads its monitors and providers from: the native system folder
// (system32 also on 64-bit roots, where our own system folder is syswow64).
std::string spoolerSystemDirectory(const platform::MachineRoot& machine);
// The spool folder of NT roots, below the native system folder: 32-bit programs on 64-bit
// systems see it there too, it is exempt from the system folder's redirection.
std::string spoolDirectory(const platform::MachineRoot& machine);

}  // namespace kestrel::setup
