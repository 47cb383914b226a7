#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "platform/Expected.h"

namespace kestrel::setup::copy {

// Why a source could not be read. The kind decides what the copy engine does next (ask for
// the disk, skip an optional line, show the message); the message names the file and the
// cause for the user.
struct SourceError {
    enum class Kind {
        Missing,        // the cabinet or compressed file is not there
        MemberMissing,  // the cabinet has no member of that name
        Unreadable,     // truncated, corrupt or not of the expected format
        Unwritable,     // the target could not be written
        Interrupted,    // the data sink stopped the source (Cancel, a failed write)
        Cancelled,      // Cancel in the disk prompt: the installation ends
    };
    Kind kind = Kind::Unreadable;
    std::string message;
};

template <typename T>
using SourceResult = platform::Expected<T, SourceError>;

// libmspack's error codes as words for a message.
std::string describeMspackError(int code);

// Runs `write` (which fills the given path and returns a libmspack error code) against a
// temporary file beside `target` and moves it over `target` only when it succeeded, so a
// failed read never leaves half a file under the target's name nor spoils what was there.
// `source` names the file read, for the message.
SourceResult<void> writeThroughTemporary(const std::filesystem::path& target,
                                         const std::string& source,
                                         const std::function<int(const char*)>& write);

}  // namespace kestrel::setup::copy
