#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace kestrel::platform {

class MachineRoot;

// Where NT systems keep the moves and deletions they perform at their next start (HKLM).
inline constexpr std::string_view kSessionManagerKey =
    "System\\CurrentControlSet\\Control\\Session Manager";
inline constexpr std::string_view kPendingRenamesValue = "PendingFileRenameOperations";

// Schedules, for the next start of the machine root, moving `from` over `to` (replacing it),
// or deleting `from` when there is no `to`; both are absolute Windows paths in the root's code
// page. NT roots keep it as MoveFileEx does: the pair appended to PendingFileRenameOperations
// ("\??\" before each path, "!" before a destination that replaces, an empty destination for
// a deletion), in the registry's memory until it is saved. 95/98 roots get the line
// "<target short path>=<source short path>" ("NUL=..." for a deletion) added to [Rename] of
// WININIT.INI in the Windows directory, written at once; the same target may stand there more
// than once. Fails, saying why, when neither can be written.
[[nodiscard]] Expected<void, std::string> scheduleAtRestart(MachineRoot& root,
                                                            std::string_view from,
                                                            std::optional<std::string_view> to);

// What Wine does with those operations when the prefix starts: first WININIT.INI's [Rename]
// lines in order (moves allowed to copy across devices and to replace, "NUL" deletes the
// file) and the file then renamed to wininit.bak; then the pending renames in order (a move
// replaces only when its destination says "!", a deletion removes an empty directory or a
// file) and the value deleted. An operation that fails (a read-only target, a missing source)
// is passed over, as Wine does. The registry change stays in memory for the caller to save.
void performRestartOperations(MachineRoot& root);

// Restarts the machine root: `wineboot --restart` through Wine where it is installed (our
// registry saved first and read again after), else performRestartOperations with the
// registry saved after it. Why it failed, when it did.
[[nodiscard]] Expected<void, std::string> restartMachineRoot(MachineRoot& root);

}  // namespace kestrel::platform
