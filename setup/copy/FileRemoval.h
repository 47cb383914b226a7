#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "copy/CopyServices.h"
#include "messages/MessageEngine.h"
#include "ops/Operation.h"
#include "platform/MachineRoot.h"
#include "script/RunState.h"

namespace kestrel::setup::copy {

// Whether a file name matches a pattern of `*` (any run of characters) and `?` (any one
// character), without regard to case as Windows matches; "*.*" matches every name, with or
// without an extension.
bool matchesWildcard(std::string_view pattern, std::string_view name);

// What Windows reports as access denied or sharing violation: the file is held or
// protected, and its deletion or rename waits for the next start.
bool refusedBySystem(const std::error_code& error);

// Deleting what the installer put on the machine root: files (wildcards allowed), a help
// file's side files, emptied directories up to the first one still in use, whole trees.
class FileRemoval {
  public:
    FileRemoval(platform::MachineRoot& machine, InUseFiles& inUse, MessageEngine& messages,
                RunState& run)
        : machine_(machine), inUse_(inUse), messages_(messages), run_(run) {}

    // Deletes every file (never a directory) that `pattern`, a Windows path with `*` and `?`
    // allowed in its last component, matches, each after its attributes are cleared; a help
    // file (.hlp) takes its side files (.gid, .fts, .ftg beside it or in the Windows
    // directory's HELP folder) with it. At installation a file in use, or one the system
    // refuses to delete, is deleted at the next start instead; when that cannot be scheduled,
    // 5527 is shown and the run aborted (false). Other failures go unreported: what is to go
    // may well be gone already.
    [[nodiscard]] bool deleteFiles(std::string_view pattern, Direction direction);
    // The same for a pattern already found on the host (its folder resolved).
    [[nodiscard]] bool deleteHostFiles(const std::filesystem::path& pattern, Direction direction);

    // Removes the host directory when it is empty, then each parent in turn until one is not
    // empty. The root's own places (drives, the Windows and program folders, the profiles and
    // shell folders) always stay, even when empty.
    void removeEmptyDirectories(const std::filesystem::path& directory);

    // The directory (a Windows path) with everything in it, read-only or not; then its
    // emptied parents.
    void removeTree(std::string_view directory);
    // The host directory with everything in it, read-only or not; its parents stay. Symbolic
    // links inside go, never what they point to. false when something of it is left.
    bool removeDirectoryTree(const std::filesystem::path& directory);

  private:
    // The files (never directories) in `folder` whose names `pattern` matches.
    std::vector<std::filesystem::path> filesMatching(const std::filesystem::path& folder,
                                                     std::string_view pattern) const;
    [[nodiscard]] bool deleteMatching(const std::filesystem::path& folder, std::string_view pattern,
                                      Direction direction);
    [[nodiscard]] bool deleteOne(const std::filesystem::path& file, Direction direction);
    [[nodiscard]] bool deleteHelpSideFiles(const std::filesystem::path& helpFile,
                                           Direction direction);
    bool isOwnPlace(const std::filesystem::path& directory) const;

    platform::MachineRoot& machine_;
    InUseFiles& inUse_;
    MessageEngine& messages_;
    RunState& run_;
};

}  // namespace kestrel::setup::copy
