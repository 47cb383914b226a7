// Other versions of the product in the registry: the keys beside Software\<MachineKeyName>
// (whose last part is, by convention, the version).
#pragma once

#include <optional>
#include <string>

#include "ops/OperationContext.h"

namespace kestrel::setup::records {

struct RegisteredVersion {
    std::string version;  // the name of the version's key
    std::string revision;
    std::string appPath;
};

// The first version key whose Setup key holds a ProductName, in the registry's order; with
// `earlierOnly` the first whose name is a lower version than the script's Version. Nothing
// when MachineKeyName has no backslash.
std::optional<RegisteredVersion> findRegisteredVersion(
    const OperationContext& context, bool earlierOnly,
    platform::RegistryRoot root = platform::RegistryRoot::LocalMachine);

// The installed version: sets InstalledVersion and InstalledRevision (empty when there is
// none) and returns it, with its application folder for replaceEarlierVersionRecords.
std::optional<RegisteredVersion> readInstalledVersion(OperationContext& context);

// After a successful installation that took the place of the version in InstalledVersion
// (same application folder; in a per-user part the same client or data folder), that
// version's records go: its Options, Prompts, Sections and Users keys, its Setup key and
// its version key, and (outside a per-user part) its entry in the list of installed
// programs when the entry's name is made with %Version%. Not after a new instance, repeat,
// maintenance or service release, nor when InstalledVersion is the script's Version; the
// records of this installation itself are never touched.
void replaceEarlierVersionRecords(OperationContext& context);

}  // namespace kestrel::setup::records
