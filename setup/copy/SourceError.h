#pragma once

#include <filesystem>
#include <string>

#include "platform/Expected.h"

namespace kestrel::setup::copy {

// Why a source could not be read. The kind decides what the copy engine does next (ask for
// the disk, skip an optional line, show the message); the message names the file and the
// cause for the user.
struct SourceError {
    enum class Kind {
        Missing,        // the file, cabinet or compressed file is not there
        MemberMissing,  // the cabinet has no member of that name
        Unreadable,     // truncated, corrupt, not of the expected format, or not a file
        Interrupted,    // the data sink stopped the source (Cancel, a failed write)
        Cancelled,      // Cancel in the disk prompt: the installation ends
    };
    Kind kind = Kind::Unreadable;
    std::string message;
    // The file the failure is about: the source, or the cabinet a member is missing from.
    std::filesystem::path file;
};

template <typename T>
using SourceResult = platform::Expected<T, SourceError>;

// libmspack's error codes as words for a message.
std::string describeMspackError(int code);

// A libmspack call that passed data to a sink and failed with `code`: Interrupted when the
// sink stopped it, else the source is unreadable. `what` names the source in the message.
SourceError decompressionFailed(int code, bool sinkStopped, const std::filesystem::path& file,
                                const std::string& what);

}  // namespace kestrel::setup::copy
