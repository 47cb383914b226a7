#pragma once

#include <string>
#include <string_view>

#include "ops/OperationContext.h"

namespace kestrel::setup::copy {

// Where the system counts the installations that use a shared file (HKLM): a REG_DWORD named
// by the file's full path.
inline constexpr std::string_view kSharedDllsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// One more installation uses the file at `path` (a Windows path). A file that was there
// before without a count was put there by someone we do not know of, who counts as one user.
// A failure shows 5518; false when the person cancelled it.
[[nodiscard]] bool addSharedFileUse(OperationContext& context, const std::string& path,
                                    bool existedBefore);

enum class SharedFileRelease {
    StillUsed,  // the lower count is written back
    Unused,     // the count reached 0 and its value is gone
    Cancelled,  // the person cancelled a failure (5519)
};
// One installation less uses the file.
[[nodiscard]] SharedFileRelease releaseSharedFile(OperationContext& context,
                                                  const std::string& path);

}  // namespace kestrel::setup::copy
